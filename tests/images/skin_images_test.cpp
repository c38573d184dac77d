#include "images/skin_images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/image_files.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

TEST(SkinSource, DerivesTheServerAndTheRequestFolder) {
  struct Case {
    TextView url, server, folder;
  };
  const Case cases[] = {
      {u"http://h.example:8080/app/res/skin.dat", u"http://h.example:8080/", u"/app/res/ko/"},
      {u"https://h/skin.dat", u"https://h/", u"/ko/"},
      {u"http://h", u"http://h", u"ko/"},
      {u"", u"", u"ko/"},
      // Every occurrence of the path goes, as the server part is built by replacement.
      {u"http://h/a/a/", u"http://h/", u"/a/a/ko/"},
  };
  for (const Case& c : cases) {
    SkinSource source = SkinSourceFor(c.url, u"ko");
    EXPECT_EQ(source.serverUrl, c.server) << ToUtf8(c.url);
    EXPECT_EQ(source.folderPath, c.folder) << ToUtf8(c.url);
  }
}

class SkinFetchTest : public ::testing::Test {
 protected:
  SkinFetchContext Context() {
    return {platform_.http,
            platform_.system,
            platform_.userInterface,
            u"T",
            u"http://h.example:8080/app/res/skin.dat",
            u""};
  }
  ScopedTemporaryDirectory temp_;
  MemoryPlatform platform_;
};

TEST_F(SkinFetchTest, FetchesTheNinePicturesOncePerControl) {
  for (int i = 0; i < 9; ++i) {
    platform_.http.QueueResponse({u"200", u"HTTP/1.1 200 OK\r\n\r\n", "png" + std::to_string(i)});
  }
  bool fetched = false;
  ASSERT_TRUE(FetchSkinImages(Context(), fetched));
  EXPECT_TRUE(fetched);
  const auto& exchanges = platform_.http.exchanges();
  ASSERT_EQ(exchanges.size(), 9u);
  EXPECT_EQ(exchanges[0].host, u"h.example");
  EXPECT_EQ(exchanges[0].port, 8080u);
  EXPECT_EQ(exchanges[0].line.path, u"/app/res/ko/i_bg.png");
  EXPECT_EQ(exchanges[8].line.path, u"/app/res/ko/i_size_btn.png");
  std::filesystem::path folder = PathFromText(SkinFolderPath(u"ko"));
  EXPECT_EQ(ScopedTemporaryDirectory::ReadBytes(folder / "i_size_btn.png"), "png8");
  EXPECT_GT(platform_.userInterface.waitCursorsShown(), 0);
  EXPECT_FALSE(platform_.userInterface.waitCursorShowing());

  ASSERT_TRUE(FetchSkinImages(Context(), fetched));
  EXPECT_EQ(exchanges.size(), 9u) << "a second call fetches nothing";
}

TEST_F(SkinFetchTest, StopsAtTheFirstFailureAndTriesAllAgainNextTime) {
  platform_.http.QueueResponse({u"200", {}, "bg"});
  platform_.http.QueueResponse({u"404", {}, ""});
  bool fetched = false;
  EXPECT_FALSE(FetchSkinImages(Context(), fetched));
  EXPECT_FALSE(fetched);
  EXPECT_EQ(platform_.http.exchanges().size(), 2u);
  ASSERT_EQ(platform_.userInterface.shown().size(), 1u);
  EXPECT_EQ(platform_.userInterface.shown()[0].icon, MessageIcon::kError);
  EXPECT_EQ(platform_.userInterface.shown()[0].caption, u"T");
  EXPECT_EQ(platform_.userInterface.shown()[0].text.substr(0, 9), u"QORVA Plu");

  EXPECT_TRUE(FetchSkinImages(Context(), fetched));
  EXPECT_EQ(platform_.http.exchanges().size(), 11u);
  EXPECT_EQ(platform_.http.exchanges()[2].line.path, u"/app/res/ko/i_bg.png");
}

}  // namespace
}  // namespace qorva

namespace qorva {
namespace {

TEST(BundledSkins, WritesTheResizeAndEditorPicturesThatAreMissingAndKeepsTheOthers) {
  ScopedTemporaryDirectory temp;
  MemoryPlatform platform;
  std::vector<TextView> names = BundledSkinNames();
  // Both sets the control reads from the folder without fetching them.
  for (TextView needed :
       {u"popup_image_size_bg.png", u"apply_btn.png", u"bg_color_header.png", u"setting_btn.png"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), TextView(needed)), names.end())
        << ToUtf8(needed);
  }
  Text folder = SkinFolderPath(u"ko");
  const std::filesystem::path own = PathFromText(folder + u"apply_btn.png");
  ASSERT_EQ(WriteFileBytes(folder + u"apply_btn.png", "the site's own"), WriteOutcome::kWritten);

  EXPECT_EQ(WriteMissingSkinImages(u"ko"), folder);
  for (TextView name : names) {
    const std::filesystem::path path = PathFromText(folder + Text(name));
    ASSERT_TRUE(std::filesystem::exists(path)) << ToUtf8(name);
    if (path == own) continue;
    // Each written picture decodes as the PNG it was.
    EXPECT_EQ(LoadImageFile(platform.codec(), folder + Text(name)).status, ImageStatus::kOk)
        << ToUtf8(name);
  }
  EXPECT_EQ(std::filesystem::file_size(own), std::string("the site's own").size());
}

}  // namespace
}  // namespace qorva
