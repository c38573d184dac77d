#include "paste/paste_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstddef>

namespace qorva {

size_t LastOccurrence(TextView text, TextView x) {
  if (x.empty()) return TextView::npos;
  size_t last = TextView::npos;
  for (size_t pos = text.find(x); pos != TextView::npos; pos = text.find(x, pos + x.size())) {
    last = pos;
  }
  return last;
}

void DeleteUnits(Text& text, TextView units) {
  if (units.size() == 2) {
    const char16_t a = units[0];
    const char16_t b = units[1];
    text.erase(std::remove_if(text.begin(), text.end(),
                              [a, b](char16_t unit) { return unit == a || unit == b; }),
               text.end());
    return;
  }
  text.erase(std::remove_if(text.begin(), text.end(),
                            [units](char16_t unit) { return units.find(unit) != TextView::npos; }),
             text.end());
}

namespace {

// Bit i is set when steps[i].from occurs in `text` (only those in `wanted` are looked at).
uint32_t PatternsPresent(TextView text, const Replacement* steps, size_t count, uint32_t wanted) {
  std::array<uint32_t, 128> byFirstUnit{};
  for (size_t i = 0; i < count; ++i) {
    if (!(wanted >> i & 1)) continue;
    char16_t first = steps[i].from[0];
    if (first >= 128) return wanted;  // not worth a table: look at them all
    byFirstUnit[first] |= uint32_t{1} << i;
  }
  uint32_t present = 0;
  for (size_t pos = 0; pos < text.size(); ++pos) {
    char16_t unit = text[pos];
    if (unit >= 128 || !byFirstUnit[unit]) continue;
    for (uint32_t candidates = byFirstUnit[unit] & ~present; candidates;
         candidates &= candidates - 1) {
      int i = std::countr_zero(candidates);
      if (text.substr(pos).starts_with(steps[i].from)) present |= uint32_t{1} << i;
    }
    if (present == wanted) break;
  }
  return present;
}

}  // namespace

void ReplaceInTurn(Text& text, std::initializer_list<Replacement> steps) {
  const Replacement* list = steps.begin();
  const size_t count = steps.size();
  assert(count <= 32 && "at most 32 steps");
  uint32_t all = count == 32 ? ~uint32_t{0} : (uint32_t{1} << count) - 1;
  for (size_t i = 0; i < count; ++i) {
    if (list[i].from.empty()) all &= ~(uint32_t{1} << i);
  }
  uint32_t present = PatternsPresent(text, list, count, all);
  for (size_t i = 0; i < count; ++i) {
    if (!(present >> i & 1)) continue;
    if (ReplaceAll(text, list[i].from, list[i].to) == 0) continue;
    // The text changed: look again for the patterns still to come.
    uint32_t rest = all & ~((uint32_t{2} << i) - 1);
    if (rest)
      present = (present & ((uint32_t{2} << i) - 1)) | PatternsPresent(text, list, count, rest);
  }
}

bool IsClassNameUnit(char16_t unit) {
  return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
         (unit >= u'0' && unit <= u'9') || unit == u'-' || unit == u'_' || unit >= 0x80;
}

namespace {

// "<name" and "</name>", appended piece by piece: the operator+ form trips a false
// overlap warning of the cross compiler.
OpeningTag TagsNamed(TextView name) {
  OpeningTag tags{Text(u"<"), Text(u"</"), TextView::npos};
  tags.tag.append(name);
  tags.end.append(name).append(u">");
  return tags;
}

}  // namespace

OpeningTag FindOpeningTag(TextView html, TextView upperName) {
  OpeningTag found = TagsNamed(upperName);
  found.at = html.find(found.tag);
  if (found.at == TextView::npos) {
    found = TagsNamed(ToLower(upperName));
    found.at = html.find(found.tag);
  }
  if (found.at != TextView::npos) {
    size_t g = html.find(u'>', found.at + 1 + upperName.size());
    if (g != TextView::npos) found.tag = Text(html.substr(found.at, g - found.at + 1));
  }
  return found;
}

}  // namespace qorva
