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
  for (size_t pos = FindText(text, x); pos != TextView::npos;
       pos = FindText(text, x, pos + x.size())) {
    last = pos;
  }
  return last;
}

void DeleteUnits(Text& text, TextView units) {
  if (units.size() == 2) {
    // Line breaks are deleted from whole pastes: the runs between them move as blocks.
    size_t hit = FindUnit(text, 0, units[0], units[1]);
    if (hit == TextView::npos) return;
    size_t write = hit;
    for (size_t read = hit + 1;;) {
      size_t next = FindUnit(text, read, units[0], units[1]);
      size_t end = next == TextView::npos ? text.size() : next;
      std::copy(text.begin() + static_cast<std::ptrdiff_t>(read),
                text.begin() + static_cast<std::ptrdiff_t>(end),
                text.begin() + static_cast<std::ptrdiff_t>(write));
      write += end - read;
      if (next == TextView::npos) break;
      read = next + 1;
    }
    text.resize(write);
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
  // By the second unit too, so that a "<" starts no comparison unless the unit after it
  // fits; a pattern of one unit, or with a non-ASCII second unit, fits every unit.
  std::array<uint32_t, 129> bySecondUnit{};
  for (size_t i = 0; i < count; ++i) {
    if (!(wanted >> i & 1)) continue;
    char16_t first = steps[i].from[0];
    if (first >= 128) return wanted;  // not worth a table: look at them all
    byFirstUnit[first] |= uint32_t{1} << i;
    char16_t second = steps[i].from.size() > 1 ? steps[i].from[1] : char16_t{128};
    if (second >= 128) {
      for (uint32_t& mask : bySecondUnit) mask |= uint32_t{1} << i;
    } else {
      bySecondUnit[second] |= uint32_t{1} << i;
    }
  }
  // Most lists start every pattern with one or two units ("<" above all): the scan then
  // jumps from one of those to the next.
  char16_t firsts[2] = {0, 0};
  size_t distinct = 0;
  for (char16_t unit = 0; unit < 128 && distinct <= 2; ++unit) {
    if (byFirstUnit[unit]) {
      if (distinct < 2) firsts[distinct] = unit;
      ++distinct;
    }
  }
  if (distinct == 0) return 0;
  if (distinct == 1) firsts[1] = firsts[0];
  uint32_t present = 0;
  for (size_t pos = 0; pos < text.size(); ++pos) {
    if (distinct <= 2) {
      pos = FindUnit(text, pos, firsts[0], firsts[1]);
      if (pos == TextView::npos) break;
    }
    char16_t unit = text[pos];
    if (unit >= 128 || !byFirstUnit[unit]) continue;
    char16_t next = pos + 1 < text.size() ? std::min<char16_t>(text[pos + 1], 128) : 128;
    for (uint32_t candidates = byFirstUnit[unit] & bySecondUnit[next] & ~present; candidates;
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
  found.at = FindText(html, found.tag);
  if (found.at == TextView::npos) {
    found = TagsNamed(ToLower(upperName));
    found.at = FindText(html, found.tag);
  }
  if (found.at != TextView::npos) {
    size_t g = html.find(u'>', found.at + 1 + upperName.size());
    if (g != TextView::npos) found.tag = Text(html.substr(found.at, g - found.at + 1));
  }
  return found;
}

}  // namespace qorva
