// The argument coercion automation applies when a caller passes a value of another
// type than the member declares: a string for an integer, a number for a string.
#pragma once

#include "support/variant.h"

namespace qorva {

// The types the scripting interface declares.
enum class ValueType { kNone, kString, kInt, kUint };

// The outcomes automation reports for a call; the COM layer maps them to its codes.
enum class DispatchStatus {
  kOk,
  kUnknownName,
  kMemberNotFound,
  kBadParamCount,
  kTypeMismatch,
  kOverflow,
};

struct Coercion {
  DispatchStatus status = DispatchStatus::kTypeMismatch;
  Variant value;
};

// `input` as `type`: strings parse as automation parses numbers (white space around,
// a sign, a fraction rounded half to even, "&H" hexadecimal and "&O" octal); numbers
// print as decimal text; out-of-range numbers give kOverflow; Null, objects and text
// that is no number give kTypeMismatch. Empty becomes 0 or "".
Coercion Coerce(const Variant& input, ValueType type);

// The value a member of `type` answers when it fails: "", 0 or nothing.
Variant FailureValue(ValueType type);

}  // namespace qorva
