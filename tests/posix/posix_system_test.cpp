#include "posix/posix_system.h"

#include <gtest/gtest.h>

#include <set>

#include "support/encoding.h"
#include "support/string_table.h"

namespace qorva {
namespace {

TEST(PosixSystem, AnsiIsCp949WithQuestionMarkForTheUnmappable) {
  PosixSystem system;
  EXPECT_EQ(ToAnsi(system, u"A\ud55c\uae00"), "A\xc7\xd1\xb1\xdb");
  EXPECT_EQ(FromAnsi(system, "A\xc7\xd1\xb1\xdb"), u"A\ud55c\uae00");
  EXPECT_EQ(ToAnsi(system, u"a\U0001F600b"), "a?b");  // one default character per pair
  EXPECT_EQ(FromAnsi(system, std::string("ok\0rest", 7)), u"ok");
}

TEST(PosixSystem, GuidsAreRandomVersionFour) {
  PosixSystem system;
  std::set<uint32_t> seen;
  for (int i = 0; i < 64; ++i) {
    Guid guid = system.NewGuid();
    EXPECT_EQ(guid.data3 >> 12, 4);
    EXPECT_EQ(guid.data4[0] >> 6, 2);
    seen.insert(guid.data1);
  }
  EXPECT_GT(seen.size(), 60u);
}

TEST(PosixSystem, StringTableAndVersion) {
  PosixSystem system;
  EXPECT_EQ(LoadResourceText(system, 15), u"Container 모드에서는 사용할 수 없는 메소드입니다.");
  EXPECT_EQ(LoadResourceText(system, 16), u"Container 모드에서만 사용할 수 있는 메소드입니다.");
  EXPECT_EQ(LoadResourceText(system, 13),
            u"QORVA Plug-In의 리소스에 접근 할 수 없습니다.\n관리자에게 문의하세요.");
  EXPECT_EQ(LoadResourceText(system, 9), u"");
  auto version = system.ModuleFileVersion();
  ASSERT_TRUE(version);
  EXPECT_EQ((*version)[0], 1);
  EXPECT_EQ((*version)[1], 0);
  EXPECT_EQ((*version)[2], 0);
}

}  // namespace
}  // namespace qorva
