// The automation value that crosses the scripting interface: a type tag with the
// automation numbering and the value it tags. By-reference values point at storage
// the caller owns.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace qorva {

enum VariantTag : uint16_t {
  kVtEmpty = 0,
  kVtNull = 1,
  kVtI4 = 3,
  kVtR8 = 5,
  kVtBstr = 8,
  kVtDispatch = 9,
  kVtBool = 11,
  kVtUi4 = 19,
  kVtByRef = 0x4000,
};

struct Variant {
  uint16_t tag = kVtEmpty;
  int32_t i4 = 0;
  uint32_t ui4 = 0;
  double r8 = 0;
  bool boolean = false;
  Text text;
  // For by-reference tags: points at an int32_t, double or Text; may be null.
  const void* ref = nullptr;

  static Variant Empty() { return {}; }
  static Variant Null() { return WithTag(kVtNull); }
  static Variant Int(int32_t value);
  static Variant Uint(uint32_t value);
  static Variant Double(double value);
  static Variant Bool(bool value);
  static Variant String(Text value);
  static Variant IntRef(const int32_t* value);
  static Variant DoubleRef(const double* value);
  static Variant StringRef(const Text* value);
  // A dispatch object; the value itself plays no part here.
  static Variant Object() { return WithTag(kVtDispatch); }

  bool IsByRef() const { return (tag & kVtByRef) != 0; }
  // The same value held directly; by-reference tags this model does not carry give Empty.
  Variant Dereferenced() const;

 private:
  static Variant WithTag(uint16_t tag) {
    Variant v;
    v.tag = tag;
    return v;
  }
};

// "%d" for 32-bit integers, "%f" for doubles, strings unchanged, the same through a
// reference (a null string reference gives ""); every other type gives "".
Text VariantToText(const Variant& value);

}  // namespace qorva
