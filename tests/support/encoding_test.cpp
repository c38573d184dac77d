#include "support/encoding.h"

#include <gtest/gtest.h>

#include <random>

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

// The conversions copy ASCII in blocks: a character that is not ASCII, a surrogate pair,
// a lone surrogate or a malformed byte must convert the same at every place in a block
// and across block edges as it does on its own.
TEST(Utf8, SpecialUnitsConvertTheSameAtEveryPlaceInABlock) {
  Text pair = u"\U0001F600";
  Text lone(1, static_cast<char16_t>(0xDC00));
  const Text specials[] = {u"\u00e9", u"\ud55c", pair, lone, u"\u00e9\ud55c"};
  const std::string badBytes[] = {"\xff", "\xe2\x82", "\xc0\xaf", "\xed\xa0\x80"};
  for (size_t before = 0; before < 40; ++before) {
    for (size_t after : {size_t{0}, size_t{1}, size_t{17}, size_t{40}}) {
      const Text head(before, u'a');
      const Text tail(after, u'z');
      for (const Text& special : specials) {
        const Text text = head + special + tail;
        const std::string expected = ToUtf8(head) + ToUtf8(special) + ToUtf8(tail);
        EXPECT_EQ(ToUtf8(text), expected) << before << " " << after;
        std::string written;
        WriteUtf8(text, [&](std::string_view piece) { written.append(piece); });
        EXPECT_EQ(written, expected);
        if (special != lone) {
          EXPECT_EQ(FromUtf8(expected), text) << before << " " << after;
        }
      }
      for (const std::string& bad : badBytes) {
        const std::string bytes = std::string(before, 'a') + bad + std::string(after, 'z');
        EXPECT_EQ(FromUtf8(bytes), head + FromUtf8(bad) + tail) << before << " " << after;
      }
    }
  }
}

// The length is counted in blocks of 16-bit counters: long runs of the widest units must
// not overflow them, and a block's edge must not split the count of a pair.
TEST(Utf8, LongTextsOfEveryWidthConvertAsTheirPiecesDo) {
  const Text pieces[] = {u"a", u"\u00e9", u"\ud55c", u"\U0001F600", Text(1, char16_t{0xDC00})};
  std::mt19937 random(5);
  for (int mix = 0; mix < 7; ++mix) {
    Text text;
    std::string expected;
    while (text.size() < 150000) {
      // One width throughout for the first five texts, a random mix for the others.
      const Text& piece = pieces[mix < 5 ? mix : random() % 5];
      text += piece;
      expected += ToUtf8(piece);
    }
    EXPECT_EQ(ToUtf8(text), expected) << mix;
  }
}

TEST(Utf8, WritesALargeTextInPiecesWithoutSplittingAPair) {
  Text text;
  for (int i = 0; i < 40000; ++i) text += i % 7 == 0 ? u"\U0001F600" : u"x\ud55c";
  std::string written;
  size_t pieces = 0;
  WriteUtf8(text, [&](std::string_view piece) {
    written.append(piece);
    ++pieces;
  });
  EXPECT_GT(pieces, 1u);
  EXPECT_EQ(written, ToUtf8(text));
  EXPECT_EQ(FromUtf8(written), text);
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
