#include "paste/rewrite_buffer.h"

#include <algorithm>
#include <cassert>
#include <cstddef>

namespace qorva {

RewriteBuffer::RewriteBuffer(Text source, std::vector<uint8_t> marks)
    : tail_(std::move(source)), tailMarks_(std::move(marks)) {
  assert((tailMarks_.empty() || tailMarks_.size() == tail_.size()) && "one mark per unit");
  head_.reserve(tail_.size() + tail_.size() / 4 + 16);
  marks_.reserve(head_.capacity());
}

bool RewriteBuffer::MarkedAt(size_t pos) const {
  if (pos < head_.size()) return marks_[pos] != 0;
  if (tailMarks_.empty()) return false;
  return tailMarks_[read_ + (pos - head_.size())] != 0;
}

size_t RewriteBuffer::Find(TextView pattern, size_t from, size_t limit) const {
  const size_t length = pattern.size();
  const size_t total = size();
  if (length == 0 || length > total) return npos;
  limit = std::min(limit, total - length + 1);
  if (from >= limit) return npos;
  const size_t headLength = head_.size();
  if (from < headLength) {
    // Occurrences wholly inside the head start before headEnd.
    size_t headEnd = std::min(limit, headLength >= length ? headLength - length + 1 : 0);
    if (from < headEnd) {
      size_t hit = FindText(TextView(head_).substr(from, headEnd - from + length - 1), pattern);
      if (hit != TextView::npos) return from + hit;
    }
    size_t crossBegin = std::max(from, headEnd);
    size_t crossEnd = std::min(limit, headLength);
    if (crossBegin < crossEnd) {
      Text seam = head_.substr(crossBegin);
      seam.append(TextView(tail_).substr(read_, length - 1));
      size_t hit = FindText(seam, pattern);
      if (hit != Text::npos && crossBegin + hit < crossEnd) return crossBegin + hit;
    }
    from = headLength;
    if (from >= limit) return npos;
  }
  size_t tailBegin = read_ + (from - headLength);
  size_t tailEnd = read_ + (limit - headLength);
  size_t hit =
      FindText(TextView(tail_).substr(tailBegin, tailEnd - tailBegin + length - 1), pattern);
  if (hit == TextView::npos) return npos;
  return headLength + (tailBegin + hit - read_);
}

void RewriteBuffer::ExtendHeadTo(size_t pos) {
  assert(pos <= size() && "extends past the end");
  if (pos <= head_.size()) return;
  size_t count = pos - head_.size();
  head_.append(tail_, read_, count);
  if (tailMarks_.empty()) {
    marks_.resize(head_.size(), 0);
  } else {
    marks_.insert(marks_.end(), tailMarks_.begin() + static_cast<std::ptrdiff_t>(read_),
                  tailMarks_.begin() + static_cast<std::ptrdiff_t>(read_ + count));
  }
  read_ += count;
}

void RewriteBuffer::SkipTo(size_t pos) {
  assert(pos >= head_.size() && pos <= size() && "skips outside the tail");
  read_ += pos - head_.size();
}

void RewriteBuffer::EraseInHead(size_t pos, size_t count) {
  assert(pos + count <= head_.size() && "erases outside the head");
  head_.erase(pos, count);
  marks_.erase(marks_.begin() + static_cast<std::ptrdiff_t>(pos),
               marks_.begin() + static_cast<std::ptrdiff_t>(pos + count));
}

void RewriteBuffer::InsertInHead(size_t pos, TextView text, bool marked) {
  assert(pos <= head_.size() && "inserts outside the head");
  if (pos == head_.size()) {
    head_.append(text);
    marks_.resize(head_.size(), marked ? 1 : 0);
    return;
  }
  head_.insert(pos, text);
  marks_.insert(marks_.begin() + static_cast<std::ptrdiff_t>(pos), text.size(), marked ? 1 : 0);
}

void RewriteBuffer::ReplaceHeadFrom(size_t pos, const Text& text, std::vector<uint8_t> marks) {
  assert(pos <= head_.size() && text.size() == marks.size() && "replaces outside the head");
  head_.resize(pos);
  marks_.resize(pos);
  head_.append(text);
  marks_.insert(marks_.end(), marks.begin(), marks.end());
}

Text RewriteBuffer::CopyFrom(size_t pos) const {
  if (pos >= head_.size()) return Text(TailFrom(pos));
  Text out = head_.substr(pos);
  out.append(tail_, read_, Text::npos);
  return out;
}

Text RewriteBuffer::Take() {
  Text out;
  if (head_.empty() && read_ == 0) {
    out = std::move(tail_);
  } else {
    out = std::move(head_);
    out.append(tail_, read_, Text::npos);
  }
  head_.clear();
  marks_.clear();
  tail_.clear();
  tailMarks_.clear();
  read_ = 0;
  return out;
}

Text RewriteBuffer::Take(std::vector<uint8_t>& marks) {
  Text out = std::move(head_);
  marks = std::move(marks_);
  if (read_ == 0 && out.empty()) {
    out = std::move(tail_);
    marks = tailMarks_.empty() ? std::vector<uint8_t>(out.size(), 0) : std::move(tailMarks_);
  } else {
    out.append(tail_, read_, Text::npos);
    if (tailMarks_.empty()) {
      marks.resize(out.size(), 0);
    } else {
      marks.insert(marks.end(), tailMarks_.begin() + static_cast<std::ptrdiff_t>(read_),
                   tailMarks_.end());
    }
  }
  head_.clear();
  marks_.clear();
  tail_.clear();
  tailMarks_.clear();
  read_ = 0;
  return out;
}

}  // namespace qorva
