#include "control/automation_coercion.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace qorva {

namespace {

struct Parsed {
  bool ok = false;
  double value = 0;
};

// Hexadecimal ("&H") or octal ("&O") digits as a 32-bit pattern.
Parsed ParseRadix(TextView digits, unsigned radix) {
  if (digits.empty() || digits.size() > (radix == 16 ? 8u : 11u)) return {};
  uint64_t value = 0;
  for (char16_t unit : digits) {
    unsigned digit;
    if (unit >= u'0' && unit <= u'9') {
      digit = unit - u'0';
    } else if (radix == 16 && ToLowerUnit(unit) >= u'a' && ToLowerUnit(unit) <= u'f') {
      digit = ToLowerUnit(unit) - u'a' + 10;
    } else {
      return {};
    }
    if (digit >= radix) return {};
    value = value * radix + digit;
  }
  if (value > 0xFFFFFFFFu) return {};
  // The pattern is a signed 32-bit number, as automation reads it.
  return {true, static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)))};
}

// Decimal numbers: [sign] digits [. digits] [e [sign] digits], with white space around.
Parsed ParseNumber(TextView text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsWhiteSpace(text[begin])) ++begin;
  while (end > begin && IsWhiteSpace(text[end - 1])) --end;
  TextView body = text.substr(begin, end - begin);
  if (body.size() > 2 && body[0] == u'&') {
    char16_t kind = ToLowerUnit(body[1]);
    if (kind == u'h') return ParseRadix(body.substr(2), 16);
    if (kind == u'o') return ParseRadix(body.substr(2), 8);
    return {};
  }
  std::string ascii;
  size_t i = 0;
  if (i < body.size() && (body[i] == u'+' || body[i] == u'-')) ascii.push_back(char(body[i++]));
  size_t digits = 0;
  while (i < body.size() && body[i] >= u'0' && body[i] <= u'9')
    ascii.push_back(char(body[i++])), ++digits;
  if (i < body.size() && body[i] == u'.') {
    ascii.push_back('.');
    ++i;
    while (i < body.size() && body[i] >= u'0' && body[i] <= u'9')
      ascii.push_back(char(body[i++])), ++digits;
  }
  if (digits == 0) return {};
  if (i < body.size() && ToLowerUnit(body[i]) == u'e') {
    ascii.push_back('e');
    ++i;
    if (i < body.size() && (body[i] == u'+' || body[i] == u'-')) ascii.push_back(char(body[i++]));
    size_t exponentDigits = 0;
    while (i < body.size() && body[i] >= u'0' && body[i] <= u'9')
      ascii.push_back(char(body[i++])), ++exponentDigits;
    if (exponentDigits == 0) return {};
  }
  if (i != body.size()) return {};
  double value = 0;
  if (std::sscanf(ascii.c_str(), "%lf", &value) != 1 || !std::isfinite(value)) return {};
  return {true, value};
}

Coercion FromNumber(double number, ValueType type) {
  double rounded = std::nearbyint(number);  // the default rounding mode: half to even
  if (type == ValueType::kInt) {
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return {DispatchStatus::kOverflow, {}};
    return {DispatchStatus::kOk, Variant::Int(static_cast<int32_t>(rounded))};
  }
  if (rounded < 0 || rounded > 4294967295.0) return {DispatchStatus::kOverflow, {}};
  return {DispatchStatus::kOk, Variant::Uint(static_cast<uint32_t>(rounded))};
}

Text DoubleText(double value) {
  // Fifteen significant digits, the precision automation prints doubles with.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return Widen(buffer);
}

std::optional<double> AsNumber(const Variant& value) {
  switch (value.tag) {
    case kVtEmpty:
      return 0.0;
    case kVtI4:
      return value.i4;
    case kVtUi4:
      return value.ui4;
    case kVtR8:
      return value.r8;
    case kVtBool:
      return value.boolean ? -1.0 : 0.0;
    default:
      return std::nullopt;
  }
}

}  // namespace

Coercion Coerce(const Variant& input, ValueType type) {
  Variant value = input.Dereferenced();
  if (input.IsByRef() && value.tag == kVtEmpty && (input.tag & ~kVtByRef) != kVtEmpty) {
    return {};  // a by-reference type this model does not carry
  }
  switch (type) {
    case ValueType::kNone:
      return {DispatchStatus::kOk, Variant::Empty()};
    case ValueType::kString:
      switch (value.tag) {
        case kVtEmpty:
          return {DispatchStatus::kOk, Variant::String({})};
        case kVtBstr:
          return {DispatchStatus::kOk, value};
        case kVtI4:
          return {DispatchStatus::kOk, Variant::String(FormatText("%d", value.i4))};
        case kVtUi4:
          return {DispatchStatus::kOk, Variant::String(FormatText("%u", value.ui4))};
        case kVtR8:
          return {DispatchStatus::kOk, Variant::String(DoubleText(value.r8))};
        case kVtBool:
          return {DispatchStatus::kOk, Variant::String(value.boolean ? u"-1" : u"0")};
        default:
          return {};
      }
    case ValueType::kInt:
    case ValueType::kUint: {
      if (value.tag == kVtBstr) {
        Parsed parsed = ParseNumber(value.text);
        if (!parsed.ok) return {};
        return FromNumber(parsed.value, type);
      }
      std::optional<double> number = AsNumber(value);
      if (!number) return {};
      return FromNumber(*number, type);
    }
  }
  return {};
}

Variant FailureValue(ValueType type) {
  switch (type) {
    case ValueType::kString:
      return Variant::String({});
    case ValueType::kInt:
      return Variant::Int(0);
    case ValueType::kUint:
      return Variant::Uint(0);
    case ValueType::kNone:
      break;
  }
  return Variant::Empty();
}

}  // namespace qorva
