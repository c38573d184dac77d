// The style map's layout and order, the style-sheet parser, the border normalisation and
// the three inlining variants, each case run through the production and the literal
// versions.
#include <gtest/gtest.h>

#include "paste/office_style_inliner.h"
#include "paste/office_style_map.h"
#include "paste/oracle/literal_paste.h"
#include "support/encoding.h"

namespace qorva {
namespace {

std::string U8(const Text& text) { return ToUtf8(text); }

std::vector<std::string> Keys(const COfficeStyleMap& map) {
  std::vector<std::string> keys;
  for (const auto* entry : map.InOrder()) keys.push_back(U8(entry->key));
  return keys;
}

TEST(OfficeStyleMap, SampledHashAndBuckets) {
  struct HashCase {
    const char16_t* key;
    uint32_t hash;
    size_t bucket;
  };
  const HashCase cases[] = {
      {u"", 2166136261u, 1},
      {u"a", 84696446u, 15},
      {u".xl65", 2306012934u, 11},
      // 41 units: only every fifth is sampled.
      {u" p.MsoNormal, li.MsoNormal, div.MsoNormal", 3048757894u, 11},
      {u"\uAC00\uB098", 308224853u, 12},
  };
  for (const HashCase& c : cases) {
    EXPECT_EQ(COfficeStyleMap::Hash(c.key), c.hash) << U8(c.key);
    EXPECT_EQ(COfficeStyleMap::BucketOf(c.key), c.bucket) << U8(c.key);
  }
}

TEST(OfficeStyleMap, IterationOrderFollowsBucketsAndChains) {
  COfficeStyleMap map;
  for (TextView key : {u"td", u".xl66", u".xl650", u".xl65", u"p.1", u"span.x", u"p.0"}) {
    map.Store(key, u"v");
  }
  map.Store(u".xl66", u"replaced");
  EXPECT_EQ(Keys(map),
            (std::vector<std::string>{"span.x", ".xl650", ".xl66", "td", "p.1", ".xl65", "p.0"}));
  ASSERT_NE(map.Find(u".xl66"), nullptr);
  EXPECT_EQ(U8(*map.Find(u".xl66")), "replaced");
  EXPECT_EQ(map.size(), 7u);
}

TEST(OfficeStyleMap, ParsesStyleSheets) {
  struct ParseCase {
    const char* name;
    const char16_t* css;
    std::vector<std::pair<std::string, std::string>> entries;  // sorted by key
  };
  const ParseCase cases[] = {
      {"class after td gets its declarations first",
       u"td\r\n\t{padding-top:1px;}\r\n.xl65\r\n\t{color:red;}",
       {{".xl65", "padding-top:1px;color:red;"}, {"td", "padding-top:1px;"}}},
      {"class before td keeps its own",
       u".a{x:1;}td{y:2;}.b{z:3;}",
       {{".a", "x:1;"}, {".b", "y:2;z:3;"}, {"td", "y:2;"}}},
      {"spaces stay in selectors", u"td {y:2;} .c{z:3;}", {{" .c", "z:3;"}, {"td ", "y:2;"}}},
      {"nested rule and empty rule are skipped", u"@media{p{a:1;}}td{}p{b:2;}", {{"p", "b:2;"}}},
      {"the first td feeds the classes, the last stays in the map",
       u"td{a:1;}td{b:2;}.k{c:3;}",
       {{".k", "a:1;c:3;"}, {"td", "b:2;"}}},
  };
  for (const ParseCase& c : cases) {
    COfficeStyleMap fast, slow;
    fast.Store(u"stale", u"x");
    ParseOfficeStyleSheet(fast, c.css);
    oracle::ParseOfficeStyleSheet(slow, c.css);
    for (const COfficeStyleMap* map : {&fast, &slow}) {
      std::vector<std::pair<std::string, std::string>> entries;
      for (const auto* entry : map->InOrder())
        entries.emplace_back(U8(entry->key), U8(entry->value));
      std::sort(entries.begin(), entries.end());
      EXPECT_EQ(entries, c.entries) << c.name << (map == &slow ? " (literal)" : "");
    }
  }
}

TEST(OfficeStyleInliner, NormalisesLineStyles) {
  struct NormaliseCase {
    const char16_t* input;
    bool dotDotDash;
    uint32_t lineFix;
    const char16_t* expected;
  };
  const NormaliseCase cases[] = {
      {u"border:.5pt hairline windowtext;", false, 0, u"border:.5pt dotted windowtext;"},
      {u"border-top:.5pt hairline;", false, 0, u"border-top:.5pt dotted;"},
      {u"border-top:.5pt dot-dot-dash windowtext;", true, 0, u"border-top:.5pt dotted windowtext;"},
      {u"border-top:.5pt dot-dot-dash;", false, 0, u"border-top:.5pt dot-dot-dash;"},
      {u"border-top:none;border-left:none;color:red;", false, 1, u"color:red;"},
      {u"border-top:none;border-left:none;color:red;", false, 0,
       u"border-top:none;border-left:none;color:red;"},
  };
  for (const NormaliseCase& c : cases) {
    Text fast = c.input, slow = c.input;
    NormaliseLineStyles(fast, c.dotDotDash ? DotDotDash::kToDotted : DotDotDash::kKeep, c.lineFix);
    oracle::NormaliseLineStyles(slow, c.dotDotDash, c.lineFix);
    EXPECT_EQ(U8(fast), U8(Text(c.expected))) << U8(Text(c.input));
    EXPECT_EQ(U8(slow), U8(Text(c.expected))) << U8(Text(c.input)) << " (literal)";
  }
}

enum class Variant { kWord, kDot, kQuoted };

struct InlineCase {
  const char* name;
  Variant variant;
  std::vector<std::pair<const char16_t*, const char16_t*>> entries;
  const char16_t* input;
  const char16_t* expected;
  uint32_t lineFix = 0;
};

void RunInline(const InlineCase& c) {
  COfficeStyleMap map;
  for (const auto& [key, value] : c.entries) map.Store(key, value);
  Text fast = c.input, slow = c.input, byEntry = c.input;
  switch (c.variant) {
    case Variant::kWord:
      InlineMsoParagraphStyles(fast, map);
      oracle::InlineMsoParagraphStyles(slow, map);
      break;
    case Variant::kDot:
      InlineDotClassStyles(fast, map, DotDotDash::kToDotted, c.lineFix);
      InlineDotClassStylesByEntry(byEntry, map, DotDotDash::kToDotted, c.lineFix);
      oracle::InlineDotClassStyles(slow, map, true, c.lineFix);
      EXPECT_EQ(U8(byEntry), U8(Text(c.expected))) << c.name << " (entry by entry)";
      break;
    case Variant::kQuoted:
      InlineQuotedClassStyles(fast, map);
      oracle::InlineQuotedClassStyles(slow, map);
      break;
  }
  EXPECT_EQ(U8(fast), U8(Text(c.expected))) << c.name;
  EXPECT_EQ(U8(slow), U8(Text(c.expected))) << c.name << " (literal)";
}

TEST(OfficeStyleInliner, CommonInsertionStep) {
  const std::pair<const char16_t*, const char16_t*> xl65 = {u".xl65",
                                                            u"padding-top:1px;color:red;"};
  const InlineCase cases[] = {
      {"attribute after the class",
       Variant::kDot,
       {xl65},
       u"<td class=xl65 width=64>",
       u"<td width=64 style='padding-top:1px;color:red;'>"},
      {"class just before the tag end leaves two spaces",
       Variant::kDot,
       {xl65},
       u"<td class=xl65>",
       u"<td  style='padding-top:1px;color:red;'>"},
      {"own style value comes after the class declarations",
       Variant::kDot,
       {xl65},
       u"<td class=xl65 style='height:15.0pt'>",
       u"<td style='padding-top:1px;color:red;height:15.0pt'>"},
      {"line fix drops the none borders",
       Variant::kDot,
       {{u".xl66", u"border-top:none;border-left:none;color:red;"}},
       u"<td class=xl66>",
       u"<td  style='color:red;'>",
       1},
      {"hairline becomes dotted",
       Variant::kDot,
       {{u".xl67", u"border:.5pt hairline windowtext;"}},
       u"<td class=xl67 x>",
       u"<td x style='border:.5pt dotted windowtext;'>"},
      {"no tag end: the last resort", Variant::kDot, {xl65}, u"<td class=xl65", u"<td class=xl65"},
      {"word normal paragraph",
       Variant::kWord,
       {{u" p.MsoNormal, li.MsoNormal, div.MsoNormal", u"margin:0cm;"}},
       u"<p class=MsoNormal>Text</p>",
       u"<p  style='margin:0cm;'>Text</p>"},
      {"word list paragraph matches by prefix",
       Variant::kWord,
       {{u"p.MsoListParagraph, li.MsoListParagraph", u"margin-left:36.0pt;"}},
       u"<p class=MsoListParagraphCxSpFirst style='text-indent:-18.0pt'>",
       u"<p CxSpFirst style='margin-left:36.0pt;text-indent:-18.0pt'>"},
      {"word table matches the normal marker",
       Variant::kWord,
       {{u"p.MsoNormal", u"margin:0cm;"}},
       u"<table class=MsoNormalTable border=1>",
       u"<table Table border=1 style='margin:0cm;'>"},
      {"word last resort",
       Variant::kWord,
       {{u"p.MsoNormal", u"m:0;"}},
       u"<p class=MsoNormal>a</p><p class=MsoNormal",
       u"<p  style='m:0;'>a</p><p class=MsoNormal"},
      {"quoted class with the p. deleted from its key",
       Variant::kQuoted,
       {{u"p.1", u"text-align:center;"}},
       u"<p class=\"1\" style=\"x:1\">",
       u"<p  style=\"text-align:center;x:1\">"},
      {"double quotes in a value merged into a double-quoted style",
       Variant::kQuoted,
       {{u"p.0", u"font-family:\"Gulim\";"}},
       u"<p class=\"0\" style=\"margin:0\">",
       u"<p  style=\"font-family:'Gulim';margin:0\">"},
  };
  for (const InlineCase& c : cases) RunInline(c);
}

// A longer class name that begins with another's is its own class: handling "xl65"
// used to cut "class=xl65" out of "class=xl650" and style those cells as xl65.
TEST(OfficeStyleInliner, ClassNamesMatchWhole) {
  const InlineCase cases[] = {
      {"longer name earlier in the text",
       Variant::kDot,
       {{u".xl65", u"a:1;"}, {u".xl650", u"b:2;"}},
       u"<td class=xl650>x</td><td class=xl65>y</td><td class=xl650 w=1>z</td>",
       u"<td  style='b:2;'>x</td><td  style='a:1;'>y</td><td w=1 style='b:2;'>z</td>"},
      {"wrapped tag after a closed one still counts",
       Variant::kDot,
       {{u".xl65", u"a:1;"}},
       u"<td class=xl65>x</td><td class=xl65\r\nw=1>y</td>",
       u"<td  style='a:1;'>x</td><td \r\nw=1 style='a:1;'>y</td>"},
  };
  for (const InlineCase& c : cases) RunInline(c);
}

// A declaration that contains its own class marker used to be found again inside the
// style just inserted, growing the text without end.
TEST(OfficeStyleInliner, DeclarationsHoldingTheirOwnMarkerEnd) {
  const InlineCase cases[] = {
      {"word",
       Variant::kWord,
       {{u"p.MsoNormal", u"x:class=MsoNormal;"}},
       u"<p class=MsoNormal>a</p>",
       u"<p  style='x:class=MsoNormal;'>a</p>"},
      {"dot class",
       Variant::kDot,
       {{u".k", u"c:'class=k ';"}},
       u"<td class=k >a</td>",
       u"<td  style='c:'class=k ';'>a</td>"},
      {"dot class last resort",
       Variant::kDot,
       {{u".k", u"class=k>"}},
       u"<td class=k>a</td><td class=k",
       u"<td  style='class=k>'>a</td><td class=k"},
      {"quoted class",
       Variant::kQuoted,
       {{u"p.q", u"class=\"q\""}},
       u"<p class=\"q\">a</p>",
       u"<p  style='class=\"q\"'>a</p>"},
  };
  for (const InlineCase& c : cases) RunInline(c);
}

TEST(OfficeStyleInliner, FirstMatchingEntryInMapOrderDecides) {
  // ".xl650" (bucket 10) comes before ".xl65" (bucket 11): it inserts the style, and
  // ".xl65" then merges its declarations in front.
  const InlineCase c{"two classes in one tag",
                     Variant::kDot,
                     {{u".xl65", u"a:1;"}, {u".xl650", u"b:2;"}},
                     u"<td class=xl65 class=xl650>",
                     u"<td  style='a:1;b:2;'>"};
  RunInline(c);
}

}  // namespace
}  // namespace qorva
