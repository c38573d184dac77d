// The production clean-up against the literal one: same text, same source type, same
// state left behind, on real documents, generated ones and mutations of both.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "paste/office_style_inliner.h"
#include "paste/oracle/literal_paste.h"
#include "paste/paste_cleanup.h"
#include "paste/paste_scene.h"
#include "paste/samples/paste_samples.h"

namespace qorva {
namespace {

std::filesystem::path CorpusFolder() {
  return std::filesystem::path(QORVA_SOURCE_DIR) / ".." / "shared" / "corpus" / "word";
}

std::vector<std::filesystem::path> Files(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

Text ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return FromUtf8(std::string(std::istreambuf_iterator<char>(in), {}));
}

// Both versions, each with its own control state, fed the same pastes in turn.
struct Pair {
  explicit Pair(uint32_t lineFix = 1) : fast(lineFix, kGuid), slow(lineFix, kGuid) {}
  static constexpr uint32_t kGuid = 0xD1FF0001;

  void Paste(const Text& html, const std::string& what) {
    Text a = html;
    Text b = html;
    uint32_t typeA = CleanPastedHtml(a, fast.context);
    uint32_t typeB = oracle::CleanPastedHtml(b, slow.context);
    ASSERT_EQ(typeA, typeB) << what;
    if (a != b) {
      size_t at = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
      FAIL() << what << ": outputs differ at unit " << at
             << "\nproduction: " << ToUtf8(a.substr(at > 80 ? at - 80 : 0, 240))
             << "\nliteral:    " << ToUtf8(b.substr(at > 80 ? at - 80 : 0, 240));
    }
    ASSERT_EQ(fast.fallbackImageTags, slow.fallbackImageTags) << what;
    ASSERT_EQ(fast.map.size(), slow.map.size()) << what;
  }

  PasteScene fast;
  PasteScene slow;
};

TEST(PasteDifferential, RealWordDocuments) {
  auto files = Files(CorpusFolder());
  ASSERT_EQ(files.size(), 49u) << "the shared corpus is missing at " << CorpusFolder();
  for (uint32_t lineFix : {0u, 1u}) {
    Pair pair(lineFix);
    for (const auto& file : files) {
      Text html = ReadText(file);
      pair.Paste(html, file.filename().string());
      // Without its style definitions the next paste inlines what this one left.
      Text withoutStyles = html;
      ReplaceAll(withoutStyles, u"/* Style Definitions */", u"");
      pair.Paste(withoutStyles, file.filename().string() + " without styles");
      pair.Paste(samples::WithClipboardHeader(html), file.filename().string() + " with header");
    }
  }
}

TEST(PasteDifferential, SampleCorpus) {
  auto files = Files(std::filesystem::path(QORVA_SOURCE_DIR) / "tests" / "data" / "paste");
  ASSERT_GE(files.size(), 6u);
  Pair pair;
  for (const auto& file : files) pair.Paste(ReadText(file), file.filename().string());
}

TEST(PasteDifferential, GeneratedDocumentsOfEveryType) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    for (uint32_t lineFix : {0u, 1u}) {
      Pair pair(lineFix);
      std::string s = " seed " + std::to_string(seed) + " fix " + std::to_string(lineFix);
      pair.Paste(samples::WordDocument(60, 5, seed), "word" + s);
      pair.Paste(samples::ExcelDocument(30, 6, 12, seed), "excel" + s);
      pair.Paste(samples::PowerPointDocument(seed), "powerpoint" + s);
      pair.Paste(samples::ParagraphClassDocument(40, seed), "type 4" + s);
      pair.Paste(samples::OfficeNamespaceDocument(20, seed), "type 5" + s);
      pair.Paste(samples::BrowserSelection(1, seed), "one paragraph" + s);
      pair.Paste(samples::BrowserSelection(4, seed), "block quote" + s);
    }
  }
}

// Small edits that break the documents' regular shape where the passes interact:
// markers cut, doubled, nested or moved next to each other.
class Mutator {
 public:
  explicit Mutator(uint32_t seed) : state_(seed * 747796405u + 2891336453u) {}

  uint32_t Next(uint32_t bound) {
    state_ = state_ * 1103515245u + 12345u;
    return bound ? (state_ >> 7) % bound : 0;
  }

  Text Mutate(Text html) {
    static const TextView kTokens[] = {u"class=",
                                       u"class=xl65",
                                       u"class=xl650 ",
                                       u"class=xl65 ",
                                       u"class=MsoNormal",
                                       u">",
                                       u"style=",
                                       u"style='",
                                       u"'",
                                       u"\"",
                                       u" ",
                                       u"\r\n",
                                       u"<!--[if gte vml 1]>",
                                       u"<![endif]-->",
                                       u"<![endif]>",
                                       u"<![if !vml]>",
                                       u"<!--StartFragment-->",
                                       u"<!--EndFragment-->",
                                       u"class=\"0\"",
                                       u"hairline ",
                                       u"border-left:none;",
                                       u"<img src=x>",
                                       u"</body>",
                                       u"<table",
                                       u"<tr ",
                                       u"<col ",
                                       u"p.",
                                       u"{",
                                       u"}",
                                       u"td",
                                       u".xl65",
                                       u"mso-"};
    size_t edits = 1 + Next(4);
    for (size_t i = 0; i < edits && !html.empty(); ++i) {
      size_t at = Next(static_cast<uint32_t>(html.size()));
      size_t length = 1 + Next(40);
      switch (Next(4)) {
        case 0:
          html.erase(at, length);
          break;
        case 1:
          html.insert(at, html.substr(Next(static_cast<uint32_t>(html.size())), length));
          break;
        default:
          html.insert(at, kTokens[Next(sizeof kTokens / sizeof kTokens[0])]);
          break;
      }
    }
    return html;
  }

 private:
  uint32_t state_;
};

TEST(PasteDifferential, MutatedDocuments) {
  std::vector<std::pair<std::string, Text>> bases = {
      {"word", samples::WordDocument(12, 2, 3)},
      {"excel", samples::ExcelDocument(6, 4, 5, 3)},
      {"type 4", samples::ParagraphClassDocument(10, 3)},
      {"type 5", samples::OfficeNamespaceDocument(5, 3)},
      {"selection", samples::BrowserSelection(3, 3)},
  };
  auto files = Files(CorpusFolder());
  if (!files.empty()) bases.emplace_back("corpus", ReadText(files[files.size() / 2]));
  for (const auto& [name, base] : bases) {
    Pair pair;
    for (uint32_t seed = 1; seed <= 150; ++seed) {
      Mutator mutator(seed);
      pair.Paste(mutator.Mutate(base), name + " mutation " + std::to_string(seed));
      if (HasFatalFailure()) return;
    }
  }
}

// The single pass and the entry-by-entry pass of the "."-class variant agree with the
// literal one, also where the single pass has to give way.
TEST(PasteDifferential, DotClassPassesAgree) {
  COfficeStyleMap map;
  map.Store(u".xl65", u"color:red;border:.5pt hairline windowtext;");
  map.Store(u".xl66", u"border-top:none;border-left:none;");
  map.Store(u".xl6", u"font-weight:700;");
  map.Store(u".a b", u"odd:1;");
  const TextView cases[] = {
      u"<td class=xl65>1</td><td class=xl66 width=3>2</td>",
      u"<td class=xl65 class=xl66>both</td>",
      u"<td class=xl650>x</td><td class=xl65>y</td><td class=xl6>z</td>",
      u"<td x=class=xl65 >glued</td>",
      u"<td class=xl65 style='a'>m</td><td class=xl66\r\n>wrapped</td><td class=xl66>",
      u"<td class=a b>odd name</td>",
      u"<td class=xl65",
      u"<td class=xl65 style=>short",
  };
  for (TextView input : cases) {
    for (uint32_t lineFix : {0u, 1u}) {
      Text expected(input), single(input), byEntry(input);
      oracle::InlineDotClassStyles(expected, map, true, lineFix);
      InlineDotClassStyles(single, map, DotDotDash::kToDotted, lineFix);
      InlineDotClassStylesByEntry(byEntry, map, DotDotDash::kToDotted, lineFix);
      EXPECT_EQ(ToUtf8(single), ToUtf8(expected)) << ToUtf8(Text(input));
      EXPECT_EQ(ToUtf8(byEntry), ToUtf8(expected)) << ToUtf8(Text(input));
    }
  }
}

}  // namespace
}  // namespace qorva
