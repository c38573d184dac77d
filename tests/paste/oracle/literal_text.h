// The text conventions of the literal clean-up: indexes that are -1 when nothing is
// found, Left, From, Mid, Find and the last occurrence, each taking a fresh copy.
#pragma once

#include <vector>

#include "base/text.h"

namespace qorva::oracle {

using Index = long long;

inline Index Size(const Text& t) { return static_cast<Index>(t.size()); }

inline Index Find(const Text& t, TextView x, Index from = 0) {
  if (from > Size(t)) return -1;
  size_t pos = t.find(x, static_cast<size_t>(from));
  return pos == Text::npos ? -1 : static_cast<Index>(pos);
}

inline bool Has(const Text& t, TextView x) { return Find(t, x) >= 0; }

inline Text Left(const Text& t, Index n) {
  if (n <= 0) return {};
  return t.substr(0, static_cast<size_t>(n));
}

inline Text From(const Text& t, Index i) {
  if (i >= Size(t)) return {};
  return t.substr(static_cast<size_t>(i < 0 ? 0 : i));
}

inline Text Mid(const Text& t, Index i, Index n) {
  if (n <= 0 || i >= Size(t)) return {};
  return t.substr(static_cast<size_t>(i), static_cast<size_t>(n));
}

inline Index LastOf(const Text& t, TextView x) {
  Index last = -1;
  for (Index p = Find(t, x); p >= 0; p = Find(t, x, p + static_cast<Index>(x.size()))) last = p;
  return last;
}

// Replaces every occurrence left to right, without rescanning; returns how many.
inline Index Replace(Text& t, TextView a, TextView b) {
  if (a.empty()) return 0;
  Text out;
  Index count = 0;
  Index copied = 0;
  for (Index p = Find(t, a); p >= 0; p = Find(t, a, p + static_cast<Index>(a.size()))) {
    out += Mid(t, copied, p - copied);
    out += b;
    copied = p + static_cast<Index>(a.size());
    ++count;
  }
  out += From(t, copied);
  t = out;
  return count;
}

inline void Delete(Text& t, TextView a) { Replace(t, a, u""); }

inline std::vector<Text> Split(const Text& t, TextView separators) {
  std::vector<Text> fields;
  Text field;
  for (char16_t unit : t) {
    if (separators.find(unit) != TextView::npos) {
      if (!field.empty()) fields.push_back(field);
      field.clear();
    } else {
      field.push_back(unit);
    }
  }
  if (!field.empty()) fields.push_back(field);
  return fields;
}

}  // namespace qorva::oracle
