#include "control/automation_coercion.h"

#include <gtest/gtest.h>

#include "support/encoding.h"

namespace qorva {
namespace {

TEST(Coerce, StringsToIntegersAsAutomationReadsThem) {
  struct Case {
    const char16_t* text;
    DispatchStatus status;
    int32_t value;
  } cases[] = {
      {u"42", DispatchStatus::kOk, 42},          {u"  -17 ", DispatchStatus::kOk, -17},
      {u"+5", DispatchStatus::kOk, 5},           {u"2.5", DispatchStatus::kOk, 2},  // half to even
      {u"3.5", DispatchStatus::kOk, 4},          {u"1e3", DispatchStatus::kOk, 1000},
      {u"&HFF", DispatchStatus::kOk, 255},       {u"&hFFFFFFFF", DispatchStatus::kOk, -1},
      {u"&O17", DispatchStatus::kOk, 15},        {u"2147483648", DispatchStatus::kOverflow, 0},
      {u"", DispatchStatus::kTypeMismatch, 0},   {u"12abc", DispatchStatus::kTypeMismatch, 0},
      {u"-", DispatchStatus::kTypeMismatch, 0},  {u"1e", DispatchStatus::kTypeMismatch, 0},
      {u"&H", DispatchStatus::kTypeMismatch, 0}, {u"&H123456789", DispatchStatus::kTypeMismatch, 0},
  };
  for (const auto& c : cases) {
    Coercion result = Coerce(Variant::String(c.text), ValueType::kInt);
    EXPECT_EQ(result.status, c.status) << ToUtf8(c.text);
    if (c.status == DispatchStatus::kOk) {
      EXPECT_EQ(result.value.i4, c.value) << ToUtf8(c.text);
    }
  }
}

TEST(Coerce, UnsignedRangeAndOtherTypes) {
  EXPECT_EQ(Coerce(Variant::String(u"4294967295"), ValueType::kUint).value.ui4, 4294967295u);
  EXPECT_EQ(Coerce(Variant::String(u"-1"), ValueType::kUint).status, DispatchStatus::kOverflow);
  EXPECT_EQ(Coerce(Variant::Int(-1), ValueType::kUint).status, DispatchStatus::kOverflow);
  EXPECT_EQ(Coerce(Variant::Uint(4000000000u), ValueType::kInt).status, DispatchStatus::kOverflow);
  EXPECT_EQ(Coerce(Variant::Bool(true), ValueType::kInt).value.i4, -1);
  EXPECT_EQ(Coerce(Variant::Empty(), ValueType::kUint).value.ui4, 0u);
  EXPECT_EQ(Coerce(Variant::Null(), ValueType::kInt).status, DispatchStatus::kTypeMismatch);
  EXPECT_EQ(Coerce(Variant::Object(), ValueType::kString).status, DispatchStatus::kTypeMismatch);
  int32_t referenced = 9;
  EXPECT_EQ(Coerce(Variant::IntRef(&referenced), ValueType::kString).value.text, u"9");
}

TEST(Coerce, NumbersToText) {
  EXPECT_EQ(Coerce(Variant::Int(-12), ValueType::kString).value.text, u"-12");
  EXPECT_EQ(Coerce(Variant::Uint(12), ValueType::kString).value.text, u"12");
  EXPECT_EQ(Coerce(Variant::Double(0.1), ValueType::kString).value.text, u"0.1");
  EXPECT_EQ(Coerce(Variant::Bool(false), ValueType::kString).value.text, u"0");
  EXPECT_EQ(Coerce(Variant::Empty(), ValueType::kString).value.text, u"");
}

}  // namespace
}  // namespace qorva
