#include "mime/mime_codecs.h"

#include <gtest/gtest.h>

#include "mime/mime_codec_registry.h"

namespace qorva {
namespace {

std::string Encode(CMimeCodeBase&& codec, std::string_view input) {
  codec.SetInput(input, CodecDirection::kEncode);
  return RunCodec(codec);
}

std::string Decode(CMimeCodeBase&& codec, std::string_view input) {
  codec.SetInput(input, CodecDirection::kDecode);
  return RunCodec(codec);
}

struct CodecCase {
  const char* name;
  std::string input;
  std::string expected;
};

TEST(QuotedPrintable, EncodesLinesAndSpecialBytes) {
  const CodecCase cases[] = {
      {"80 letters", std::string(80, 'a'), std::string(75, 'a') + "=\r\n" + std::string(5, 'a')},
      {"space before CR LF", "a \r\nb", "a=20\r\nb"},
      {"trailing space", "ab ", "ab=20"},
      {"trailing tab", "ab\t", "ab=09"},
      {"inner space stays", "a b", "a b"},
      {"equals sign", "a=b", "a=3Db"},
      {"line of a single dot", "a\r\n.\r\nb", "a\r\n=2E\r\nb"},
      {"dot in text", "a.b\r\n.x", "a.b\r\n.x"},
      {"8-bit and control bytes", "\xEA\x01", "=EA=01"},
      {"74 letters then a line end", std::string(74, 'a') + "\r\nb",
       std::string(74, 'a') + "\r\nb"},
      {"75 letters then a line end", std::string(75, 'a') + "\r\nb",
       std::string(75, 'a') + "=\r\n\r\nb"},
      // The break goes after the last space, which stays at the end of the first line.
      {"break after white space", std::string(70, 'a') + " " + std::string(10, 'b'),
       std::string(70, 'a') + " =\r\n" + std::string(10, 'b')},
      {"encoded byte at the edge", std::string(73, 'a') + "=", std::string(73, 'a') + "=\r\n=3D"},
      // A blank that would end a full line starts the next one; the earlier blank stays put.
      {"blank at the edge", std::string(10, 'a') + " " + std::string(64, 'b') + " c",
       std::string(10, 'a') + " " + std::string(64, 'b') + "=\r\n c"},
      {"encoded blank fills the line", std::string(10, 'a') + " " + std::string(61, 'b') + " \r\nc",
       std::string(10, 'a') + " " + std::string(61, 'b') + "=20=\r\n\r\nc"},
      // Text moved after the blank would leave no room for the escape: the line breaks
      // where it stands, and no line grows past 76 characters.
      {"no room to move", "a " + std::string(73, 'x') + "\xFF" + "b",
       "a " + std::string(73, 'x') + "=\r\n=FFb"},
      // The input's last byte needs no room for a break after it.
      {"room for the last byte", "a " + std::string(73, 'x') + "\xFF",
       "a =\r\n" + std::string(73, 'x') + "=FF"},
      // Only the first break can go after the space: the second line has none.
      {"blank of an earlier line", std::string(70, 'a') + " " + std::string(150, 'b'),
       std::string(70, 'a') + " =\r\n" + std::string(75, 'b') + "=\r\n" + std::string(75, 'b')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Encode(CMimeCodeQP(), c.input), c.expected) << c.name;
  }
}

TEST(QuotedPrintable, DecodesEscapesAndSoftBreaks) {
  const CodecCase cases[] = {
      {"upper-case escape", "=41", "A"},
      {"lower-case second digit", "=4a", "J"},
      {"soft break between letters", "a=\r\nb", "ab"},
      {"stray equals keeps the next byte", "a=xb", "axb"},
      {"lower-case first digit is no escape", "=a1", "a1"},
      {"equals near the end stops", "ab=4", "ab"},
      {"equals at the end stops", "ab=", "ab"},
      {"underscore stays", "a_b", "a_b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Decode(CMimeCodeQP(), c.input), c.expected) << c.name;
  }
}

TEST(QuotedPrintable, RoundTripsEveryByte) {
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  all += all + " \r\n . \r\n\t\r\n" + std::string(200, 'x') + " end ";
  EXPECT_EQ(Decode(CMimeCodeQP(), Encode(CMimeCodeQP(), all)), all);
}

TEST(Base64, EncodesGroupsAndLines) {
  const CodecCase cases[] = {
      {"three bytes", "abc", "YWJj\r\n"},
      {"one byte", "a", "YQ==\r\n"},
      {"two bytes", "ab", "YWI=\r\n"},
      {"empty", "", ""},
      {"57 bytes make one full line", std::string(57, '\0'), std::string(76, 'A') + "\r\n"},
      {"58 bytes", std::string(58, '\0'), std::string(76, 'A') + "\r\nAA==\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Encode(CMimeCodeBase64(), c.input), c.expected) << c.name;
  }
  EXPECT_EQ(Encode(CMimeCodeBase64(LineBreaks::kOff), std::string(57, '\0')), std::string(76, 'A'));
}

TEST(Base64, DecodeSkipsLineEndsAndStopsAtForeignBytes) {
  const CodecCase cases[] = {
      {"line ends skipped", "YW\r\nJj", "abc"}, {"stops at padding", "YQ==YWJj", "a"},
      {"stops at a space", "YWJj YWJj", "abc"}, {"partial group of three", "YWJ", "ab"},
      {"single sextet gives nothing", "Y", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Decode(CMimeCodeBase64(), c.input), c.expected) << c.name;
  }
}

TEST(Base64, ShortOfRoomStopsAtWholeGroups) {
  CMimeCodeBase64 codec;
  codec.SetInput("abcdef", CodecDirection::kEncode);
  char out[7] = {};
  EXPECT_EQ(codec.EncodeInto(out, sizeof out), 4u);
  EXPECT_EQ(std::string(out, 4), "YWJj");
}

TEST(SevenBit, BreaksLongLinesOnlyAtWhiteSpace) {
  EnableHeaderFolding();  // registers the 7bit codec; the codec itself ignores the switch
  std::string words = std::string(70, 'a') + " " + std::string(29, 'b');
  EXPECT_EQ(Encode(CMimeCode7bit(), words), std::string(70, 'a') + "\r\n " + std::string(29, 'b'));
  std::string solid(100, 'x');
  EXPECT_EQ(Encode(CMimeCode7bit(), solid), solid);
  std::string shortLines = "a b\r\n" + std::string(75, 'c') + "\r\n";
  EXPECT_EQ(Encode(CMimeCode7bit(), shortLines), shortLines);
  EXPECT_EQ(Decode(CMimeCode7bit(), words), words);
  ResetMimeCodecRegistries();
}

TEST(EncodedWord, DecodesWordsAndKeepsTheFirstCharset) {
  CMimeEncodedWord word('Q', "");
  word.SetInput("=?utf-8?Q?caf=C3=A9?=", CodecDirection::kDecode);
  EXPECT_EQ(RunCodec(word), "caf\xC3\xA9");
  EXPECT_EQ(word.Charset(), "utf-8");

  const CodecCase cases[] = {
      {"space between words vanishes", "=?a?Q?x?= =?b?B?eQ==?=", "xy"},
      {"underscore stays", "=?a?q?a_b?=", "a_b"},
      {"text around words", "Re: =?a?Q?x?= end", "Re: x end"},
      {"malformed word is text", "=?bad word", "=?bad word"},
      {"unknown letter is text", "=?a?X?abc?=", "=?a?X?abc?="},
      {"unterminated word runs to the end", "=?a?Q?abc", "abc"},
      {"leading white space kept", "  x", "  x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Decode(CMimeEncodedWord('Q', ""), c.input), c.expected) << c.name;
  }
  CMimeEncodedWord first('Q', "");
  first.SetInput("=?euc-kr?B?eA==?= =?utf-8?Q?y?=", CodecDirection::kDecode);
  RunCodec(first);
  EXPECT_EQ(first.Charset(), "euc-kr");
  EXPECT_EQ(first.Letter(), 'B');
}

TEST(EncodedWord, EncodesWordsWithinTheirLength) {
  std::string korean;
  for (int i = 0; i < 40; ++i) korean += "\xED\x95\x9C";  // 120 bytes
  for (char letter : {'B', 'Q'}) {
    CMimeEncodedWord word(letter, "utf-8");
    word.SetInput(korean, CodecDirection::kEncode);
    std::string encoded = RunCodec(word);
    size_t start = 0;
    while (start < encoded.size()) {
      size_t end = encoded.find(' ', start);
      if (end == std::string::npos) end = encoded.size();
      std::string one = encoded.substr(start, end - start);
      EXPECT_LE(one.size(), 75u) << letter << " " << one;
      EXPECT_EQ(one.rfind(std::string("=?utf-8?") + letter + "?", 0), 0u) << one;
      EXPECT_EQ(one.substr(one.size() - 2), "?=") << one;
      start = end + 1;
    }
    EXPECT_EQ(Decode(CMimeEncodedWord('Q', ""), encoded), korean) << letter;
  }
  EXPECT_EQ(Encode(CMimeEncodedWord('Q', "x"), "a b_c=?"), "=?x?Q?a=20b=5Fc=3D=3F?=");
}

}  // namespace
}  // namespace qorva
