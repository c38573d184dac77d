#include "transfer/page_setup.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_registry.h"

namespace qorva {
namespace {

constexpr TextView kKey = u"Software\\Microsoft\\Internet Explorer\\PageSetup";

class PageSetupTest : public ::testing::Test {
 protected:
  void Store(TextView header, TextView footer) {
    registry_.Set(RegistryHive::kCurrentUser, kKey, u"header", Text(header));
    registry_.Set(RegistryHive::kCurrentUser, kKey, u"footer", Text(footer));
  }
  Text Stored(TextView name) const {
    auto value = registry_.ValueOf(RegistryHive::kCurrentUser, kKey, name);
    return value ? std::get<Text>(*value) : u"(none)";
  }

  MemoryRegistry registry_;
};

TEST_F(PageSetupTest, WrittenTextsReadBack) {
  Store(u"old header", u"old footer");
  WritePageSetup(registry_, u"&w&bPage &p", u"");
  EXPECT_EQ(Stored(u"header"), u"&w&bPage &p");
  EXPECT_EQ(Stored(u"footer"), u"");
  Text header = u"x", footer = u"y";
  ReadPageSetup(registry_, header, footer);
  EXPECT_EQ(header, u"&w&bPage &p");
  EXPECT_EQ(footer, u"");
  EXPECT_EQ(registry_.OpenHandleCount(), 0);
}

TEST_F(PageSetupTest, AMissingKeyIsNeverCreated) {
  WritePageSetup(registry_, u"header", u"footer");
  EXPECT_FALSE(registry_.KeyExists(RegistryHive::kCurrentUser, kKey));
  Text header = u"kept", footer = u"kept too";
  ReadPageSetup(registry_, header, footer);
  EXPECT_EQ(header, u"kept");
  EXPECT_EQ(footer, u"kept too");
}

TEST_F(PageSetupTest, ValuesOverTheReadLimitAreNotTaken) {
  // A long header written by printing cannot be read back: both strings stay.
  Store(Text(600, u'h'), u"short");
  Text header = u"mine", footer = u"mine too";
  ReadPageSetup(registry_, header, footer);
  EXPECT_EQ(header, u"mine");
  EXPECT_EQ(footer, u"mine too");

  // A long footer alone: the header is taken, the footer stays.
  Store(Text(kMaxPageSetupReadLength, u'h'), Text(kMaxPageSetupReadLength + 1, u'f'));
  ReadPageSetup(registry_, header, footer);
  EXPECT_EQ(header, Text(kMaxPageSetupReadLength, u'h'));
  EXPECT_EQ(footer, u"mine too");
}

TEST_F(PageSetupTest, AHeaderThatCannotBeReadLeavesTheFooterUnread) {
  registry_.Set(RegistryHive::kCurrentUser, kKey, u"header", uint32_t{7});  // not a string
  registry_.Set(RegistryHive::kCurrentUser, kKey, u"footer", Text(u"f"));
  Text header = u"h0", footer = u"f0";
  ReadPageSetup(registry_, header, footer);
  EXPECT_EQ(header, u"h0");
  EXPECT_EQ(footer, u"f0");
}

TEST_F(PageSetupTest, LongTextsAreCutWithoutSplittingACharacter) {
  Store(u"", u"");
  Text header(kMaxPageSetupWriteLength - 1, u'a');
  header += u"\U0001F600tail";  // a surrogate pair across the limit
  WritePageSetup(registry_, header, Text(5000, u'f'));
  EXPECT_EQ(Stored(u"header"), Text(kMaxPageSetupWriteLength - 1, u'a'));
  EXPECT_EQ(Stored(u"footer"), Text(kMaxPageSetupWriteLength, u'f'));
}

}  // namespace
}  // namespace qorva
