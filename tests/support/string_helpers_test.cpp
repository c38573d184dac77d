#include "support/string_helpers.h"

#include <gtest/gtest.h>

#include <random>

#include "support/encoding.h"

namespace qorva {
namespace {

struct PathCase {
  const char16_t* input;
  const char16_t* expected;
};

TEST(PathPieces, FolderPartPrefersBackslashThenSlash) {
  const PathCase cases[] = {
      {u"C:\\dir/sub\\file.txt", u"C:\\dir/sub\\"},
      {u"web/p/x.png", u"web/p/"},
      {u"name", u""},
      {u"a\\b/c", u"a\\"},  // a "\" anywhere wins over a later "/"
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFolderPart(c.input), c.expected) << ToUtf8(c.input);
  }
}

TEST(PathPieces, FileNameExtensionAndUrlPath) {
  EXPECT_EQ(ExtractFileName(u"a/b\\c"), u"c");
  EXPECT_EQ(ExtractFileName(u"abc"), u"abc");
  EXPECT_EQ(ExtractFileName(u"a\\b/c"), u"b/c");
  EXPECT_EQ(StripExtension(u"photo"), u"");
  EXPECT_EQ(StripExtension(u"dir.v2/photo.jpeg"), u"dir.v2/photo");
  EXPECT_EQ(ExtractExtension(u"C:\\ver1.2\\file"), u"2\\file");
  EXPECT_EQ(ExtractExtension(u"photo"), u"");
  EXPECT_EQ(ExtractUrlPath(u"scheme://srv:8080/app/p.html"), u"/app/p.html");
  EXPECT_EQ(ExtractUrlPath(u"http://srv:8080"), u"");
  EXPECT_EQ(ExtractUrlPath(u"no-scheme/at/all"), u"");
}

TEST(SplitList, DropsEmptyItemsKeepsSpacesAndAppends) {
  std::vector<Text> list{u"kept"};
  Text source = u",a,,b ,";
  SplitList(source, u",", list);
  EXPECT_EQ(list, (std::vector<Text>{u"kept", u"a", u"b "}));
  EXPECT_EQ(source, u",a,,b ,");

  std::vector<Text> empty;
  SplitList(u"", u",", empty);
  SplitList(u",,,", u",", empty);
  EXPECT_TRUE(empty.empty());

  std::vector<Text> several;
  SplitList(u"a;b,c", u",;", several);  // a set of characters, not a word
  EXPECT_EQ(several, (std::vector<Text>{u"a", u"b", u"c"}));
}

TEST(TextToHtml, EscapesAndBreaksInOrder) {
  const PathCase cases[] = {
      {u"a<b>\r\nc", u"a&lt;b&gt;<br />c"},
      {u"x\ny", u"x<br />y"},
      {u"a   b", u"a&nbsp;&nbsp; b"},
      {u"a & b", u"a & b"},  // the ampersand stays
  };
  for (const auto& c : cases) {
    Text text = c.input;
    TextToHtml(text);
    EXPECT_EQ(text, c.expected) << ToUtf8(c.input);
  }
}

TEST(FileUrlToPath, DecodesInOrderAndTurnsSlashesOnLocalPaths) {
  const PathCase cases[] = {
      {u"file:///C:/My%20Docs/a.png", u"C:\\My Docs\\a.png"},
      {u"http://host/a%20b/c.png", u"http://host/a b/c.png"},
      {u"HTTP://host/x:y/z", u"HTTP://host/x:y/z"},
      {u"file:///C:/a%2526b", u"C:\\a&b"},
      {u"relative/no/colon", u"relative/no/colon"},
      {u"file:///C:/mail%40host", u"C:\\mail@host"},
  };
  for (const auto& c : cases) {
    Text text = c.input;
    FileUrlToPath(text);
    EXPECT_EQ(text, c.expected) << ToUtf8(c.input);
  }
}

TEST(ReplaceAll, DoesNotRescanInsertedTextAndIgnoresEmptySearch) {
  Text text = u"aaa";
  EXPECT_EQ(ReplaceAll(text, u"a", u"aa"), 3u);
  EXPECT_EQ(text, u"aaaaaa");
  EXPECT_EQ(ReplaceAll(text, u"", u"x"), 0u);
  EXPECT_EQ(text, u"aaaaaa");
  Text overlapping = u"aaaa";
  ReplaceAll(overlapping, u"aa", u"b");
  EXPECT_EQ(overlapping, u"bb");
}

// FindText answers as the standard search does, across the edges of its eight-unit
// blocks, for patterns whose first or last unit recurs and for every start.
TEST(FindText, AgreesWithTheStandardSearch) {
  std::mt19937 random(3);
  const char16_t alphabet[] = {u'<', u'a', u'b', u'>', 0xD55C};
  auto draw = [&](size_t size) {
    Text text;
    for (size_t i = 0; i < size; ++i) text.push_back(alphabet[random() % 5]);
    return text;
  };
  for (int round = 0; round < 3000; ++round) {
    Text text = draw(random() % 70);
    Text what = draw(1 + random() % 6);
    if (round % 4 == 0 && text.size() >= what.size()) {
      text.replace(text.size() - what.size(), what.size(), what);  // a match that ends the text
    }
    for (size_t from = 0; from <= text.size() + 1; ++from) {
      ASSERT_EQ(FindText(text, what, from), TextView(text).find(what, from))
          << "round " << round << " from " << from;
    }
  }
  EXPECT_EQ(FindText(u"abc", u"", 1), 1u);
  EXPECT_EQ(FindText(u"abc", u"", 4), TextView::npos);
  EXPECT_EQ(FindText(u"ab", u"abc"), TextView::npos);
}

}  // namespace
}  // namespace qorva
