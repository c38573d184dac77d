#include "control/persisted_state.h"

#include <gtest/gtest.h>

#include "control_scene.h"

namespace qorva {
namespace {

TEST(PersistedState, RoundTripsTheControlsParameters) {
  ControlScene scene;
  scene.Load({{u"systemTitle", u"제목"}, {u"hasContainer", u"1"}, {u"useLog", u"-1"}});
  ParameterListExchange save(ExchangeDirection::kSave);
  scene.control.ExchangeParameters(save);
  std::string bytes = SerializePersistedState(save.parameters());
  ASSERT_EQ(bytes.substr(0, 4), std::string("\x01\x00\x00\x00", 4));  // version 1.0

  auto parsed = ParsePersistedState(bytes);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(*parsed, save.parameters());
  ControlScene restored;
  restored.Load(*parsed);
  EXPECT_EQ(restored.control.systemTitle, u"제목");
  EXPECT_EQ(restored.control.hasContainer, 1u);
  EXPECT_EQ(restored.control.useLog, -1);
}

TEST(PersistedState, RefusesCorruptStreams) {
  std::string good = SerializePersistedState({{u"a", u"b"}});
  const std::string huge(
      "\x01\x00\x00\x00"   // version 1.0
      "\x01\x00\x00\x00"   // one parameter
      "\x01\x00\x00\x00"   // the name's length: one unit
      "a\x00"              // the name, "a"
      "\xff\xff\xff\x7f",  // the value's length: far past the limit
      18);
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"cut short", good.substr(0, good.size() - 1)},
      {"version 2", std::string("\x02\x00\x00\x00\x00\x00\x00\x00", 8)},
      {"absurd count", std::string("\x01\x00\x00\x00\xff\xff\xff\xff", 8)},
      {"absurd length", huge},
  };
  for (const auto& [name, bytes] : cases) EXPECT_FALSE(ParsePersistedState(bytes)) << name;
  EXPECT_TRUE(ParsePersistedState(std::string("\x01\x00\x07\x00\x00\x00\x00\x00", 8)));  // 1.7
}

}  // namespace
}  // namespace qorva
