#include "support/encoding.h"

#include <gtest/gtest.h>

#include "support/variant.h"

namespace qorva {
namespace {

TEST(Utf8, RoundTripsEveryPlane) {
  Text text = u"a\u00e9\ud55c\U0001F600z";
  std::string bytes = ToUtf8(text);
  EXPECT_EQ(bytes, "a\xc3\xa9\xed\x95\x9c\xf0\x9f\x98\x80z");
  EXPECT_EQ(FromUtf8(bytes), text);
}

TEST(Utf8, MalformedInputBecomesReplacementNotGarbage) {
  struct Case {
    std::string bytes;
    Text expected;
  } cases[] = {
      {"\xc0\xaf", u"\ufffd\ufffd"},            // overlong "/"
      {"\xed\xa0\x80", u"\ufffd\ufffd\ufffd"},  // an encoded surrogate
      {"ab\xe2\x82", u"ab\ufffd\ufffd"},        // truncated at the end
      {"\xff", u"\ufffd"},
  };
  for (const auto& c : cases) EXPECT_EQ(FromUtf8(c.bytes), c.expected) << c.bytes;
}

TEST(Utf8, StopsAtTheZeroTerminatorAndReplacesLoneSurrogates) {
  EXPECT_EQ(FromUtf8(std::string("ab\0cd", 5)), u"ab");
  Text lone = u"x";
  lone.push_back(0xD800);
  EXPECT_EQ(ToUtf8(lone), "x\xef\xbf\xbd");
}

TEST(VariantToText, FormatsByTag) {
  int32_t number = -7;
  double real = 2.5;
  Text text = u"ref";
  EXPECT_EQ(VariantToText(Variant::Int(42)), u"42");
  EXPECT_EQ(VariantToText(Variant::Double(1.5)), u"1.500000");
  EXPECT_EQ(VariantToText(Variant::String(u"TRUE")), u"TRUE");
  EXPECT_EQ(VariantToText(Variant::IntRef(&number)), u"-7");
  EXPECT_EQ(VariantToText(Variant::DoubleRef(&real)), u"2.500000");
  EXPECT_EQ(VariantToText(Variant::StringRef(&text)), u"ref");
  EXPECT_EQ(VariantToText(Variant::StringRef(nullptr)), u"");
  EXPECT_EQ(VariantToText(Variant::IntRef(nullptr)), u"");
  EXPECT_EQ(VariantToText(Variant::Bool(true)), u"");
  EXPECT_EQ(VariantToText(Variant::Uint(3)), u"");  // only the signed 32-bit tag prints
  EXPECT_EQ(VariantToText(Variant::Empty()), u"");
  EXPECT_EQ(VariantToText(Variant::Null()), u"");
  EXPECT_EQ(VariantToText(Variant::Object()), u"");
}

}  // namespace
}  // namespace qorva
