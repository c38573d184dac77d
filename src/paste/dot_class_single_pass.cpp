#include "paste/dot_class_single_pass.h"

#include <algorithm>
#include <deque>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "paste/paste_text.h"

namespace qorva {

namespace {

constexpr TextView kClass = u"class=";
constexpr size_t npos = Text::npos;

// One entry's declarations as its pass changes them: the n-th element it styles gets
// the value normalised n times. Normalising only shortens the text, so the sequence
// reaches a fixed point.
class DeclarationSequence {
 public:
  DeclarationSequence(Text value, DotDotDash dotDotDash, uint32_t lineFix)
      : current_(std::move(value)), dotDotDash_(dotDotDash), lineFix_(lineFix) {}

  // Whether the n-th value holds a class attribute marker of its own.
  bool HoldsClassMarker(size_t n) {
    const Text& value = Value(n);
    size_t index = std::min(n, values_.size()) - 1;
    if (holdsMarker_.size() <= index) holdsMarker_.resize(index + 1, -1);
    if (holdsMarker_[index] < 0) holdsMarker_[index] = Contains(value, kClass) ? 1 : 0;
    return holdsMarker_[index] != 0;
  }

  const Text& Value(size_t n) {
    while (values_.size() < n && !settled_) {
      Text next = values_.empty() ? current_ : values_.back();
      NormaliseLineStyles(next, dotDotDash_, lineFix_);
      if (!values_.empty() && next == values_.back()) {
        settled_ = true;
        break;
      }
      values_.push_back(std::move(next));
    }
    return values_[std::min(n, values_.size()) - 1];
  }

 private:
  Text current_;
  DotDotDash dotDotDash_;
  uint32_t lineFix_;
  std::deque<Text> values_;
  std::vector<int8_t> holdsMarker_;
  bool settled_ = false;
};

struct DotEntry {
  TextView name;
  DeclarationSequence declarations;
  size_t firstClosed = npos;  // first "class=name>" in the text
  size_t styled = 0;          // elements styled so far
};

enum class Form : uint8_t { kSpaced, kClosed, kOther };

// A spreadsheet paste has hundreds of thousands of these alive beside the text and its
// result, so they are packed to 40 bytes.
struct Occurrence {
  size_t pos;
  uint32_t entry;
  Form form;
  bool styled = false;
  bool deleted = false;
  bool merge = false;
  size_t length = 0;  // of the marker deleted here
  size_t at = 0;      // where the declarations go
  const Text* value = nullptr;
};
static_assert(sizeof(Occurrence) <= 40);

bool IsPlainName(TextView name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), IsClassNameUnit);
}

size_t NameEnd(TextView html, size_t from) {
  while (from < html.size() && IsClassNameUnit(html[from])) ++from;
  return from;
}

TextView Around(TextView html, size_t pos, size_t before, size_t after) {
  size_t begin = pos > before ? pos - before : 0;
  return html.substr(begin, std::min(html.size(), pos + after) - begin);
}

}  // namespace

bool InlineDotClassStylesInOnePass(Text& html, const COfficeStyleMap& map, DotDotDash dotDotDash,
                                   uint32_t officeLineFix) {
  std::vector<DotEntry> entries;
  std::unordered_map<TextView, size_t> byName;
  std::vector<TextView> oddNameStarts;  // leading plain part of every other name
  for (const COfficeStyleMap::Entry* entry : map.InOrder()) {
    if (entry->key.empty() || entry->key[0] != u'.') continue;
    TextView name = TextView(entry->key).substr(1);
    if (!IsPlainName(name)) {
      oddNameStarts.push_back(name.substr(0, NameEnd(name, 0)));
      continue;
    }
    if (entries.size() == UINT32_MAX) return false;
    byName.emplace(name, entries.size());
    entries.push_back({name, DeclarationSequence(entry->value, dotDotDash, officeLineFix)});
  }
  if (entries.empty() && oddNameStarts.empty()) return true;

  const TextView text = html;
  std::vector<Occurrence> found;
  std::unordered_set<TextView> names;
  for (size_t pos = FindText(text, kClass); pos != npos; pos = FindText(text, kClass, pos + 1)) {
    size_t nameBegin = pos + kClass.size();
    size_t nameEnd = NameEnd(text, nameBegin);
    TextView name = text.substr(nameBegin, nameEnd - nameBegin);
    if (!oddNameStarts.empty()) names.insert(name);
    auto match = byName.find(name);
    if (match == byName.end()) continue;
    Form form = nameEnd == text.size()  ? Form::kOther
                : text[nameEnd] == u' ' ? Form::kSpaced
                : text[nameEnd] == u'>' ? Form::kClosed
                                        : Form::kOther;
    found.push_back({pos, static_cast<uint32_t>(match->second), form});
    DotEntry& entry = entries[match->second];
    if (form == Form::kClosed && entry.firstClosed == npos) entry.firstClosed = pos;
  }
  // A name that is not plain could only ever match where a class value starts with its
  // plain part followed by something else.
  for (TextView start : oddNameStarts) {
    if (names.contains(start)) return false;
  }

  // What each entry's pass does to each occurrence: all "class=name " first, then from
  // the first "class=name>" on every whole-name occurrence; whole-name occurrences
  // before that one are deleted with it.
  for (Occurrence& o : found) {
    DotEntry& entry = entries[o.entry];
    const size_t bare = kClass.size() + entry.name.size();
    if (o.form == Form::kSpaced) {
      o.styled = true;
      o.length = bare + 1;
    } else if (entry.firstClosed != npos) {
      o.length = bare;
      o.styled = o.pos >= entry.firstClosed;
      o.deleted = !o.styled;
    }
  }
  std::vector<size_t> spacedCount(entries.size(), 0);
  for (const Occurrence& o : found) {
    if (o.form == Form::kSpaced) ++spacedCount[o.entry];
  }
  std::vector<size_t> spacedSeen(entries.size(), 0);
  std::vector<size_t> laterSeen(entries.size(), 0);
  for (size_t i = 0; i < found.size(); ++i) {
    Occurrence& o = found[i];
    if (!o.styled && !o.deleted) continue;
    // The left neighbour of a deleted marker must be tag space, so that joining the
    // two sides forms no new name, class or style attribute.
    if (o.pos > 0 && !IsTagSpace(text[o.pos - 1])) return false;
    if (!o.styled) continue;
    const size_t after = o.pos + o.length;
    const size_t gt = text.find(u'>', after);
    size_t st;
    if (gt != npos) {
      size_t hit = FindText(text.substr(after, gt - after), u"style=");
      st = hit == npos ? npos : after + hit;
    } else {
      st = FindText(text, u"style=", after);
    }
    if (gt != npos && st == npos) {
      o.at = gt;
    } else if (st != npos) {
      o.merge = true;
      o.at = std::min(st + 7, text.size());
    } else {
      return false;  // the last resort rewrites the whole text
    }
    // Nothing another entry touches may lie between the marker and the edit.
    if (i + 1 < found.size() && found[i + 1].pos <= o.at) return false;
    DotEntry& entry = entries[o.entry];
    size_t n = o.form == Form::kSpaced ? ++spacedSeen[o.entry]
                                       : spacedCount[o.entry] + ++laterSeen[o.entry];
    o.value = &entry.declarations.Value(n);
    if (entry.declarations.HoldsClassMarker(n)) return false;
    if (o.merge) {
      Text seam(Around(text, o.at, 5, 0));
      seam.append(*o.value).append(Around(text, o.at, 0, 5));
      if (Contains(seam, kClass)) return false;
    }
  }

  size_t outSize = text.size();
  for (const Occurrence& o : found) {
    if (o.styled || o.deleted) outSize -= o.length;
    if (o.styled) outSize += o.value->size() + (o.merge ? 0 : 9);
  }
  Text out;
  out.reserve(outSize);
  size_t copied = 0;
  for (const Occurrence& o : found) {
    if (!o.styled && !o.deleted) continue;
    out.append(text.substr(copied, o.pos - copied));
    copied = o.pos + o.length;
    if (!o.styled) continue;
    out.append(text.substr(copied, o.at - copied));
    copied = o.at;
    if (o.merge) {
      out.append(*o.value);
    } else {
      out.append(u" style='").append(*o.value).append(u"'");
    }
  }
  out.append(text.substr(copied));
  html = std::move(out);
  return true;
}

}  // namespace qorva
