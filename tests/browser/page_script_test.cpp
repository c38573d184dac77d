#include "browser/page_script.h"

#include <gtest/gtest.h>

#include <cmath>

#include "browser/js_web_page.h"
#include "platform/memory/memory_browser.h"

namespace qorva {
namespace {

TEST(QuoteForScript, EscapesEverythingThatCouldEndOrBreakTheLiteral) {
  struct Case {
    Text text;
    std::string quoted;
  } cases[] = {
      {u"", R"("")"},
      {u"plain text", R"("plain text")"},
      {u"\"); alert(1); (\"", R"("\"); alert(1); (\"")"},
      {u"back\\slash", R"("back\\slash")"},
      {u"a\r\nb\tc", R"("a\u000d\u000ab\u0009c")"},
      {u"</script>", R"("</script>")"},
      {u"\u2028\u2029", R"("\u2028\u2029")"},
      {Text(1, char16_t(0xD800)) + u" lone", R"("\ud800 lone")"},
      {u"\u00e9\u4e2d", R"("\u00e9\u4e2d")"},
      {Text(1, u'\0'), R"("\u0000")"},
      {u"\x7f", R"("\u007f")"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(QuoteForScript(cases[i].text), cases[i].quoted) << "case " << i;
  }
}

TEST(PageCallScript, PassesTheNameAndEachArgumentAsLiterals) {
  Text arguments[] = {u"one", u"t\"wo"};
  std::string script = PageCallScript(u"f'); x('", arguments);
  EXPECT_NE(script.find(R"(("f'); x('",["one","t\"wo"]))"), std::string::npos) << script;
  EXPECT_NE(PageCallScript(u"g", {}).find(R"(("g",[]))"), std::string::npos);
}

TEST(ReadPageCallAnswer, TurnsEachTagIntoItsValue) {
  using K = PageValue::Kind;
  struct Case {
    Text answer;
    PageCallStatus status;
    K kind;
    Text asText;  // the value as the control turns it into text
  } cases[] = {
      {u"s:TRUE", PageCallStatus::kOk, K::kString, u"TRUE"},
      {u"s:", PageCallStatus::kOk, K::kString, u""},
      {u"s:x:n:", PageCallStatus::kOk, K::kString, u"x:n:"},
      {u"n:42", PageCallStatus::kOk, K::kInteger, u"42"},
      {u"n:-2147483648", PageCallStatus::kOk, K::kInteger, u"-2147483648"},
      {u"n:2147483648", PageCallStatus::kOk, K::kDouble, u"2147483648.000000"},
      {u"n:1.5", PageCallStatus::kOk, K::kDouble, u"1.500000"},
      {u"n:1e+21", PageCallStatus::kOk, K::kDouble, u"1000000000000000000000.000000"},
      {u"n:-0", PageCallStatus::kOk, K::kInteger, u"0"},
      {u"b:1", PageCallStatus::kOk, K::kBoolean, u""},
      {u"b:0", PageCallStatus::kOk, K::kBoolean, u""},
      {u"u:", PageCallStatus::kOk, K::kEmpty, u""},
      {u"o:", PageCallStatus::kOk, K::kEmpty, u""},
      {u"x:", PageCallStatus::kFailed, K::kEmpty, u""},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::optional<PageCallOutcome> outcome = ReadPageCallAnswer(cases[i].answer);
    ASSERT_TRUE(outcome) << "case " << i;
    EXPECT_EQ(outcome->status, cases[i].status) << "case " << i;
    EXPECT_EQ(outcome->value.kind, cases[i].kind) << "case " << i;
    EXPECT_EQ(VariantToText(PageValueToVariant(outcome->value)), cases[i].asText) << "case " << i;
  }
  std::optional<PageCallOutcome> nan = ReadPageCallAnswer(u"n:NaN");
  ASSERT_TRUE(nan);
  EXPECT_TRUE(std::isnan(nan->value.number));
  std::optional<PageCallOutcome> infinite = ReadPageCallAnswer(u"n:-Infinity");
  ASSERT_TRUE(infinite);
  EXPECT_TRUE(std::isinf(infinite->value.number) && infinite->value.number < 0);
}

TEST(ReadPageCallAnswer, RefusesWhatNoPageAnswerLooksLike) {
  const Text malformed[] = {u"",     u"s",      u"q:x",    u"n:",       u"n:12abc",
                            u"n:1 ", u"n:0x10", u"b:2",    u"b:",       u"u:x",
                            u"o:?",  u"x:why",  u"S:TRUE", u"n:\u0661", u":s"};
  for (const Text& answer : malformed) {
    EXPECT_FALSE(ReadPageCallAnswer(answer))
        << "'" << std::string(answer.begin(), answer.end()) << "'";
  }
}

TEST(CJSWebPage, ReportsEachFailureWithItsText) {
  CJSWebPage bridge;
  EXPECT_EQ(bridge.LastErrorText(), u"");
  Variant result = Variant::String(u"untouched");
  EXPECT_FALSE(bridge.CallPageFunction(u"f", {}, &result));
  EXPECT_EQ(bridge.LastErrorText(), u"JSCall Error:\nCannot GetScript");
  EXPECT_EQ(result.text, u"untouched");

  EXPECT_FALSE(bridge.SetDocument(nullptr));
  EXPECT_EQ(bridge.LastErrorText(), u"JSCall Error:\nNULL pointer");

  auto page = std::make_shared<MemoryPage>();
  page->Define(u"f", PageValue{PageValue::Kind::kString, u"answer"});
  page->Define(u"silent", [](std::span<const Text>) {
    return PageCallOutcome{PageCallStatus::kFailed, {}, {}};
  });
  ASSERT_TRUE(bridge.SetDocument(page));
  EXPECT_FALSE(bridge.CallPageFunction(u"missing", {}, nullptr));
  EXPECT_EQ(bridge.LastErrorText(), u"JSCall Error:\nUnknown name.");
  EXPECT_FALSE(bridge.CallPageFunction(u"silent", {}, nullptr));
  EXPECT_EQ(bridge.LastErrorText(), u"JSCall Error:\nFormatMessage Netive Error");
  // Success leaves the last error as it was.
  EXPECT_TRUE(bridge.CallPageFunction(u"f", {}, &result));
  EXPECT_EQ(result.text, u"answer");
  EXPECT_TRUE(bridge.CallPageFunction(u"f", {}, nullptr));
  EXPECT_EQ(bridge.LastErrorText(), u"JSCall Error:\nFormatMessage Netive Error");

  page->hasScript = false;
  EXPECT_FALSE(bridge.CallPageFunction(u"f", {}, &result));
  EXPECT_EQ(bridge.LastErrorText(), u"JSCall Error:\nCannot GetScript");
}

TEST(CJSWebPage, AFailedHandOverKeepsTheDocumentHeld) {
  CJSWebPage bridge;
  auto page = std::make_shared<MemoryPage>();
  page->Define(u"f", PageValue{PageValue::Kind::kInteger, {}, 7});
  ASSERT_TRUE(bridge.SetDocument(page));
  EXPECT_FALSE(bridge.SetDocument(nullptr));
  Variant result;
  EXPECT_TRUE(bridge.CallPageFunction(u"f", {}, &result));
  EXPECT_EQ(VariantToText(result), u"7");
}

}  // namespace
}  // namespace qorva
