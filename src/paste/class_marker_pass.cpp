#include "paste/class_marker_pass.h"

#include <algorithm>
#include <cstddef>

#include "paste/paste_text.h"

namespace qorva {

bool ClassMarkerPass::Eligible(size_t pos, const ClassMarker& marker) const {
  if (buffer_.MarkedAt(pos)) return false;
  if (marker.end == ClassMarker::End::kAny) return true;
  size_t after = pos + marker.text.size();
  return after >= buffer_.size() || !IsClassNameUnit(buffer_.At(after));
}

size_t ClassMarkerPass::FindEligible(const ClassMarker& marker, size_t from) const {
  for (size_t pos = buffer_.Find(marker.text, from); pos != RewriteBuffer::npos;
       pos = buffer_.Find(marker.text, pos + 1)) {
    if (Eligible(pos, marker)) return pos;
  }
  return RewriteBuffer::npos;
}

size_t ClassMarkerPass::ResumeFor(const ClassMarker& marker) const {
  return resumeMarker_ == marker.text && resumeEnd_ == marker.end ? resume_ : 0;
}

size_t ClassMarkerPass::FindMarker(const ClassMarker& marker) {
  size_t pos = FindEligible(marker, ResumeFor(marker));
  resumeMarker_ = Text(marker.text);
  resumeEnd_ = marker.end;
  resume_ = pos == RewriteBuffer::npos ? buffer_.size() : pos;
  return pos;
}

size_t ClassMarkerPass::DeleteMarkers(const ClassMarker& marker, size_t from, size_t end,
                                      size_t& removed) {
  const size_t length = marker.text.size();
  std::vector<size_t> hits;
  TextView head = buffer_.head();
  for (size_t pos = from; end >= length && pos + length <= end;) {
    size_t hit = FindText(head.substr(0, end), marker.text, pos);
    if (hit == TextView::npos) break;
    if (Eligible(hit, marker)) {
      hits.push_back(hit);
      pos = hit + length;
    } else {
      pos = hit + 1;
    }
  }
  if (hits.empty()) return RewriteBuffer::npos;
  Text kept;
  std::vector<uint8_t> keptMarks;
  const auto& marks = buffer_.headMarks();
  size_t copied = hits.front();
  kept.reserve(head.size() - copied);
  keptMarks.reserve(head.size() - copied);
  for (size_t i = 0; i <= hits.size(); ++i) {
    size_t stop = i < hits.size() ? hits[i] : head.size();
    kept.append(head.substr(copied, stop - copied));
    keptMarks.insert(keptMarks.end(), marks.begin() + static_cast<std::ptrdiff_t>(copied),
                     marks.begin() + static_cast<std::ptrdiff_t>(stop));
    copied = stop + length;
  }
  size_t first = hits.front();
  removed += hits.size() * length;
  buffer_.ReplaceHeadFrom(first, kept, std::move(keptMarks));
  return first;
}

ClassMarkerPass::Step ClassMarkerPass::Apply(size_t pos, const ClassMarker& marker,
                                             Text& declarations, QuoteRule quotes) {
  const size_t after = pos + marker.text.size();
  const size_t gt = buffer_.Find(u">", after);
  const size_t st = gt != RewriteBuffer::npos ? buffer_.Find(u"style=", after, gt)
                                              : buffer_.Find(u"style=", after);
  Step step;
  size_t at;
  Text inserted;
  if (gt != RewriteBuffer::npos && st == RewriteBuffer::npos) {
    step = Step::kInserted;
    at = gt;
    inserted.append(u" style='").append(declarations).append(u"'");
  } else if (st != RewriteBuffer::npos) {
    step = Step::kMerged;
    at = std::min(st + 7, buffer_.size());
    if (quotes == QuoteRule::kQuotesToApostrophes && buffer_.At(at - 1) == u'"') {
      std::replace(declarations.begin(), declarations.end(), u'"', u'\'');
    }
    inserted = declarations;
  } else {
    return Step::kNoTagEnd;
  }
  buffer_.ExtendHeadTo(at);
  size_t removed = 0;
  size_t first = DeleteMarkers(marker, ResumeFor(marker), at, removed);
  buffer_.InsertInHead(at - removed, inserted, true);
  const size_t reach = marker.text.size() - 1;
  if (first == RewriteBuffer::npos) first = pos;
  resumeMarker_ = Text(marker.text);
  resumeEnd_ = marker.end;
  resume_ = first > reach ? first - reach : 0;
  return step;
}

void ClassMarkerPass::ReplaceEverywhere(const ClassMarker& marker, TextView replacement) {
  std::vector<uint8_t> marks;
  Text text = buffer_.Take(marks);
  const size_t length = marker.text.size();
  auto eligible = [&](size_t pos) {
    if (marks[pos]) return false;
    if (marker.end == ClassMarker::End::kAny) return true;
    return pos + length >= text.size() || !IsClassNameUnit(text[pos + length]);
  };
  Text out;
  std::vector<uint8_t> outMarks;
  out.reserve(text.size());
  outMarks.reserve(text.size());
  size_t copied = 0;
  for (size_t pos = FindText(text, marker.text); pos != Text::npos;) {
    if (!eligible(pos)) {
      pos = FindText(text, marker.text, pos + 1);
      continue;
    }
    out.append(text, copied, pos - copied);
    outMarks.insert(outMarks.end(), marks.begin() + static_cast<std::ptrdiff_t>(copied),
                    marks.begin() + static_cast<std::ptrdiff_t>(pos));
    out.append(replacement);
    outMarks.resize(out.size(), 1);
    copied = pos + length;
    pos = FindText(text, marker.text, copied);
  }
  out.append(text, copied, Text::npos);
  outMarks.insert(outMarks.end(), marks.begin() + static_cast<std::ptrdiff_t>(copied), marks.end());
  buffer_ = RewriteBuffer(std::move(out), std::move(outMarks));
  resumeMarker_.clear();
}

}  // namespace qorva
