#include "support/file_provenance.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/encoding.h"
#include "support/file_path.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

class FileProvenance : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(temp_.path() / "qorvaTemp");
    fs::create_directories(temp_.path() / "qorvaTempX");
    fs::create_directories(temp_.path() / "msohtmlclip1" / "01");
    ScopedTemporaryDirectory::WriteBytes(temp_.path() / "qorvaTemp" / "a.png", "a");
    ScopedTemporaryDirectory::WriteBytes(temp_.path() / "secret.txt", "s");
  }
  void TearDown() override { ForgetUserChosenFiles(); }
  Text At(const fs::path& relative) const { return TextFromPath(temp_.path() / relative); }

  ScopedTemporaryDirectory temp_;
};

TEST_F(FileProvenance, InsideAFolderAfterResolvingTheWay) {
  const Text folder = At("qorvaTemp");
  struct Case {
    Text path;
    bool inside;
  };
  const Case cases[] = {
      {At("qorvaTemp/a.png"), true},
      {At("qorvaTemp/not-yet-written.png"), true},
      {At("qorvaTemp/sub/../a.png"), true},
      {At("qorvaTemp/../secret.txt"), false},
      {At("qorvaTemp/./../qorvaTemp/../secret.txt"), false},
      {At("qorvaTempX/b.png"), false},  // a sibling whose name starts the same
      {At("qorvaTemp"), false},         // the folder itself
      {At("secret.txt"), false},
      {u"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsInsideFolder(c.path, folder), c.inside) << ToUtf8(c.path);
    EXPECT_EQ(IsInsideFolder(c.path, folder + kPathSeparator), c.inside) << ToUtf8(c.path);
  }
}

TEST_F(FileProvenance, ALinkOutOfTheFolderLeadsOutside) {
  std::error_code error;
  fs::create_symlink(temp_.path() / "secret.txt", temp_.path() / "qorvaTemp" / "link.txt", error);
  if (error) GTEST_SKIP() << "no symbolic links here";
  EXPECT_FALSE(IsInsideFolder(At("qorvaTemp/link.txt"), At("qorvaTemp")));
}

TEST_F(FileProvenance, OfficeClipboardFolders) {
  const Text temp = TextFromPath(temp_.path());
  EXPECT_TRUE(IsOfficeClipboardFile(At("msohtmlclip1/01/clip_image001.png"), temp));
  EXPECT_TRUE(IsOfficeClipboardFile(At("MSOHTMLCLIP/01/clip_image001.png"), temp));
  EXPECT_TRUE(IsOfficeClipboardFile(At("msoclip1/01/clip_image001.png"), temp));
  EXPECT_FALSE(IsOfficeClipboardFile(At("secret.txt"), temp));
  EXPECT_FALSE(IsOfficeClipboardFile(At("msohtmlclip1/../secret.txt"), temp));
  EXPECT_FALSE(IsOfficeClipboardFile(At("other/msohtmlclip1/x.png"), temp));
}

TEST_F(FileProvenance, ChosenFilesAreRememberedInOneSpelling) {
  EXPECT_FALSE(WasChosenByUser(At("secret.txt")));
  RememberUserChosenFile(At("qorvaTemp/../secret.txt"));
  EXPECT_TRUE(WasChosenByUser(At("secret.txt")));
  EXPECT_TRUE(IsSamePath(At("secret.txt"), At("qorvaTempX/../secret.txt")));
  ForgetUserChosenFiles();
  EXPECT_FALSE(WasChosenByUser(At("secret.txt")));
}

}  // namespace
}  // namespace qorva
