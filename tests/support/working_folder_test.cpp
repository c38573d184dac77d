#include "support/working_folder.h"
#include "platform/memory/memory_system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "platform/memory/memory_clock.h"
#include "platform/native_system.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/string_helpers.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

Text Sep() { return Text(1, kPathSeparator); }

TEST(WorkingFolder, LivesUnderTheTemporaryDirectoryAndIsCreated) {
  ScopedTemporaryDirectory temp;
  Text root = TextFromPath(temp.path()) + Sep();
  Text folder = WorkingFolderPath(kWorkingFolderName);
  EXPECT_EQ(folder, root + u"qorvaTemp" + Sep());
  EXPECT_TRUE(fs::is_directory(temp.path() / "qorvaTemp"));
  EXPECT_EQ(WorkingFolderPath(u""), root);
}

TEST(WorkingFolder, NonAsciiTemporaryDirectoryRoundTrips) {
  ScopedTemporaryDirectory temp;
  Text korean = TextFromPath(temp.path()) + Sep() + u"\uC0AC\uC9C4" + Sep();
  EnsureFolderTree(korean + u"a.png");
  EXPECT_TRUE(fs::is_directory(temp.path() / fs::path(u8"\uC0AC\uC9C4")));
  EXPECT_EQ(TextFromPath(PathFromText(korean)), korean);
}

TEST(EnsureFolderTree, CreatesTheFoldersAboveAFileWithEitherSeparator) {
  struct Case {
    const char16_t* relative;
    std::vector<const char*> folders;
    std::vector<const char*> absent;
  };
  const Case cases[] = {
      {u"a/b/c.txt", {"a", "a/b"}, {"a/b/c.txt"}},
      {u"d\\e/f\\g.txt", {"d", "d/e", "d/e/f"}, {"d/e/f/g.txt"}},
      {u"h/i/", {"h", "h/i"}, {}},
      {u"j//k\\\\l.txt", {"j", "j/k"}, {"j/k/l.txt"}},
      {u"plain-name", {}, {"plain-name"}},
  };
  for (const auto& c : cases) {
    ScopedTemporaryDirectory temp;
    Text base = TextFromPath(temp.path()) + Sep();
    EnsureFolderTree(base + c.relative);
    for (const char* folder : c.folders) {
      EXPECT_TRUE(fs::is_directory(temp.path() / folder)) << ToUtf8(c.relative) << ": " << folder;
    }
    for (const char* missing : c.absent) {
      EXPECT_FALSE(fs::exists(temp.path() / missing)) << ToUtf8(c.relative) << ": " << missing;
    }
  }
}

TEST(EnsureFolderTree, TakesTheLongestFolderThatFitsAndRefusesLonger) {
  ScopedTemporaryDirectory temp;
  Text base = TextFromPath(temp.path()) + Sep() + u"sub" + Sep();
  // Folder parts of exactly the limit (separator included) and one unit more.
  Text fits = base + Text(kMaxFolderPathLength - base.size() - 1, u'x') + Sep();
  Text tooLong = base + Text(kMaxFolderPathLength - base.size(), u'y') + Sep();
  ASSERT_EQ(fits.size(), kMaxFolderPathLength);
  EnsureFolderTree(tooLong + u"f.txt");
  EXPECT_FALSE(fs::exists(temp.path() / "sub"));
  EnsureFolderTree(fits + u"f.txt");
  EXPECT_TRUE(fs::is_directory(PathFromText(fits)));
}

class PurgeTest : public ::testing::Test {
 protected:
  fs::path folder() const { return temp_.path() / "qorvaTemp"; }
  // A file in `dir` whose last write lies `age` before the clock's now.
  void WriteAged(const fs::path& file, std::chrono::minutes age) {
    ScopedTemporaryDirectory::WriteBytes(file, "x");
    auto when = clock_.Now() - age;
    fs::last_write_time(file, std::chrono::file_clock::from_sys(when));
  }

  ScopedTemporaryDirectory temp_;
  MemoryClock clock_{std::chrono::system_clock::now() + std::chrono::hours(24 * 365)};
};

TEST_F(PurgeTest, DeletesFilesOlderThanFortyEightHoursOnly) {
  using std::chrono::hours;
  using std::chrono::minutes;
  WorkingFolderPath(kWorkingFolderName);
  WriteAged(folder() / "47h.png", hours(47));
  WriteAged(folder() / "48h-less-a-minute.png", hours(48) - minutes(1));
  WriteAged(folder() / "49h.png", hours(49));
  WriteAged(folder() / "a-year.log", hours(24 * 365));
  fs::create_directory(folder() / "keep");
  WriteAged(folder() / "keep" / "old.png", hours(100));
  WriteAged(temp_.path() / "beside.png", hours(100));

  PurgeWorkingFolder(clock_, kWorkingFolderName);

  EXPECT_TRUE(fs::exists(folder() / "47h.png"));
  EXPECT_TRUE(fs::exists(folder() / "48h-less-a-minute.png"));
  EXPECT_FALSE(fs::exists(folder() / "49h.png"));
  EXPECT_FALSE(fs::exists(folder() / "a-year.log"));
  EXPECT_TRUE(fs::exists(folder() / "keep" / "old.png")) << "sub-folders are never entered";
  EXPECT_TRUE(fs::exists(temp_.path() / "beside.png")) << "only the sub-folder is purged";
}

TEST_F(PurgeTest, NeverFollowsOrRemovesLinks) {
  WorkingFolderPath(kWorkingFolderName);
  fs::path outside = temp_.path() / "outside";
  fs::create_directory(outside);
  WriteAged(outside / "target.png", std::chrono::hours(100));
  fs::create_symlink(outside / "target.png", folder() / "link.png");
  fs::create_directory_symlink(outside, folder() / "dirlink");

  PurgeWorkingFolder(clock_, kWorkingFolderName);

  EXPECT_TRUE(fs::exists(outside / "target.png"));
  EXPECT_TRUE(fs::is_symlink(folder() / "link.png"));
  EXPECT_TRUE(fs::is_symlink(folder() / "dirlink"));
}

TEST_F(PurgeTest, MissingFolderIsQuiet) {
  PurgeWorkingFolder(clock_, u"never-made");
  EXPECT_FALSE(fs::exists(temp_.path() / "never-made"));
}

TEST(NewUniqueName, FieldsInOrderLowerCaseWithoutSeparators) {
  MemorySystem fixed;
  fixed.fixedGuid =
      Guid{0x0123ABCD, 0x4E5F, 0x0A0B, {0xFE, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0x0C}};
  EXPECT_EQ(NewUniqueName(fixed), u"0123abcd4e5f0a0bfe0123456789ab0c");

  auto native = CreateNativeSystem();
  std::set<Text> seen;
  for (int i = 0; i < 32; ++i) {
    Text name = NewUniqueName(*native);
    ASSERT_EQ(name.size(), 32u) << ToUtf8(name);
    EXPECT_EQ(name.find_first_not_of(u"0123456789abcdef"), Text::npos) << ToUtf8(name);
    seen.insert(name);
  }
  EXPECT_EQ(seen.size(), 32u);
}

TEST(FileSizeText, UnitBoundaries) {
  struct Case {
    uint64_t size;
    const char16_t* expected;
  };
  constexpr uint64_t kGiB = 1ull << 30;
  const Case cases[] = {
      {0, u"0Bytes"},          {1023, u"1023Bytes"},
      {1024, u"1.00KB"},       {1536, u"1.50KB"},
      {1048575, u"1024.00KB"},  // just below a mebibyte still counts in kibibytes
      {1048576, u"1.00MB"},    {kGiB, u"1.00GB"},
      {5 * kGiB, u"5.00GB"},   {4096 * kGiB, u"4096.00GB"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileSizeText(c.size), c.expected) << c.size;
  }
}

TEST(FileSizeOf, SizeOrZero) {
  ScopedTemporaryDirectory temp;
  ScopedTemporaryDirectory::WriteBytes(temp.path() / "five", "12345");
  Text base = TextFromPath(temp.path()) + Sep();
  EXPECT_EQ(FileSizeOf(base + u"five"), 5u);
  EXPECT_EQ(FileSizeOf(base + u"missing"), 0u);
  EXPECT_EQ(FileSizeOf(base), 0u) << "a folder has no file size";
}

}  // namespace
}  // namespace qorva
