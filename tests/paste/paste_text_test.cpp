#include "paste/paste_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace qorva {
namespace {

// Short texts over the units the patterns are made of, so that matches, near misses and
// overlaps are frequent, and long enough to cross the eight-unit blocks of the scans.
Text RandomText(std::mt19937& random, size_t length) {
  constexpr TextView kUnits = u"<<!-/va\r\n>[\u3000";
  Text text;
  for (size_t i = 0; i < length; ++i) text.push_back(kUnits[random() % kUnits.size()]);
  return text;
}

TEST(PasteText, ReplaceInTurnMatchesReplacingEachStepInOrder) {
  std::mt19937 random(11);
  for (int round = 0; round < 3000; ++round) {
    Text text = RandomText(random, random() % 70);
    Text expected = text;
    for (auto [from, to] : {std::pair<TextView, TextView>{u"<!-", u""},
                            {u"</v", u"<"},
                            {u"<", u"[<]"},
                            {u"\u3000<", u"x"},
                            {u"-", u""},
                            {u">", u"<!-"}}) {
      ReplaceAll(expected, from, to);
    }
    ReplaceInTurn(text, {{u"<!-", u""},
                         {u"</v", u"<"},
                         {u"<", u"[<]"},
                         {u"\u3000<", u"x"},
                         {u"-", u""},
                         {u">", u"<!-"}});
    ASSERT_EQ(text, expected) << round;
  }
}

TEST(PasteText, DeleteUnitsRemovesEveryLineBreakAnywhereInABlock) {
  std::mt19937 random(12);
  for (int round = 0; round < 3000; ++round) {
    Text text = RandomText(random, random() % 70);
    Text expected = text;
    std::erase_if(expected, [](char16_t unit) { return unit == u'\r' || unit == u'\n'; });
    DeleteUnits(text, u"\r\n");
    ASSERT_EQ(text, expected) << round;
  }
}

}  // namespace
}  // namespace qorva
