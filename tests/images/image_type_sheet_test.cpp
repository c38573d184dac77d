#include "images/image_type_sheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/image_files.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

// The sheet over a clipboard whose picture is 300 x 200: each conversion writes it, turned
// by the angle asked, as a new file.
class ImageTypeSheetTest : public ::testing::Test {
 protected:
  Text WritePicture(const char* name, int32_t width, int32_t height) {
    Text path = TextFromPath(temp_.path() / name);
    std::optional<Bitmap> image = Bitmap::Create(width, height, PixelFormat::kRgb24);
    EXPECT_TRUE(image);
    image->Fill(0xFF336699);
    EXPECT_EQ(SaveImageFile(platform_.codec(), u"png", path, kRotateNoneFlipX, *image, 100),
              ImageStatus::kOk);
    return path;
  }

  ImageTypeSheetContext Context() {
    return {ui_, platform_.codec(),
            [this](TextView type, int32_t angle) -> Text {
              conversions_.push_back(ToUtf8(type) + "@" + std::to_string(angle));
              if (!clipboardHasPicture_) return {};
              const bool quarter = angle == 90 || angle == 270;
              return WritePicture(("converted" + std::to_string(conversions_.size())).c_str(),
                                  quarter ? 200 : 300, quarter ? 300 : 200);
            },
            [this](TextView path, int32_t width, int32_t height) {
              resized_.push_back(ToUtf8(path) + " " + std::to_string(width) + "x" +
                                 std::to_string(height));
            }};
  }

  std::optional<ImageSaveChoice> Run(TextView preview, std::initializer_list<const char*> answers) {
    for (const char* answer : answers) ui_.QueueAnswer(FromUtf8(answer));
    CImageTypeSheetPresenter sheet(Context(), preview);
    const bool ok = ui_.RunDialog(sheet);
    lastPreview_ = sheet.previewPath();
    if (!ok) return std::nullopt;
    return sheet.choice();
  }

  ScopedTemporaryDirectory temp_;
  MemoryPlatform platform_;
  ScriptedUserInterface& ui_ = platform_.userInterface;
  bool clipboardHasPicture_ = true;
  std::vector<std::string> conversions_;
  std::vector<std::string> resized_;
  Text lastPreview_;
};

TEST_F(ImageTypeSheetTest, OkGivesTheCheckedTypeTheHeldQualityAndThePreviewSize) {
  struct Case {
    std::initializer_list<const char*> answers;
    const char16_t* type;
    int32_t quality;
  };
  const Case cases[] = {
      {{"ok"}, u"jpg", 100},
      {{"png", "ok"}, u"png", 100},  // the previews stay JPEG; the choice is made on OK
      {{"gif", "quality=75", "ok"}, u"gif", 75},
      {{"quality=120", "ok"}, u"jpg", 100},
      {{"quality=10", "ok"}, u"jpg", 50},
      {{"qualitySpin=up", "ok"}, u"jpg", 100},  // the spin stops at 100
      {{"quality=50", "qualitySpin=down", "ok"}, u"jpg", 50},
      {{"quality=70", "qualitySpin=down", "ok"}, u"jpg", 69},
  };
  Text preview = WritePicture("preview.jpg", 300, 200);
  for (const Case& c : cases) {
    std::optional<ImageSaveChoice> choice = Run(preview, c.answers);
    ASSERT_TRUE(choice) << *c.answers.begin();
    EXPECT_EQ(choice->type, c.type);
    EXPECT_EQ(choice->quality, c.quality);
    EXPECT_EQ(choice->angle, 0);
    EXPECT_EQ(choice->width, 300);
    EXPECT_EQ(choice->height, 200);
  }
  EXPECT_FALSE(Run(preview, {"cancel"}));
}

TEST_F(ImageTypeSheetTest, AnAngleRedrawsThePreviewTurnedAndTheSizeFollowsTheTurn) {
  Text preview = WritePicture("preview.jpg", 300, 200);
  std::optional<ImageSaveChoice> choice = Run(preview, {"angle90", "ok"});
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->angle, 90);
  // The tag of a quarter-turned picture is as tall as the picture was wide.
  EXPECT_EQ(choice->width, 200);
  EXPECT_EQ(choice->height, 300);
  EXPECT_FALSE(fs::exists(PathFromText(preview)));  // the old preview is gone
  EXPECT_EQ(conversions_, std::vector<std::string>{"jpg@90"});
  EXPECT_NE(lastPreview_, preview);

  choice = Run(lastPreview_, {"angle90", "angle0", "ok"});
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->angle, 0);
  EXPECT_EQ(conversions_.back(), "jpg@0");
}

TEST_F(ImageTypeSheetTest, WithoutAPictureTheSheetShowsZeroAndStillAnswers) {
  clipboardHasPicture_ = false;
  std::optional<ImageSaveChoice> choice = Run(u"", {"angle180", "ok"});
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->width, 0);
  EXPECT_EQ(choice->height, 0);
  EXPECT_EQ(choice->angle, 180);
  EXPECT_EQ(lastPreview_, u"");
}

TEST_F(ImageTypeSheetTest, SaveAsWritesTheNamedFileAndScalesItToTheShownSize) {
  Text preview = WritePicture("preview.jpg", 300, 200);
  Text chosen = TextFromPath(temp_.path() / "pic");
  std::optional<ImageSaveChoice> choice =
      Run(preview, {"gif", "saveAs", ToUtf8(chosen).c_str(), "cancel"});
  EXPECT_FALSE(choice);
  EXPECT_EQ(conversions_, std::vector<std::string>{"gif@0"});
  EXPECT_TRUE(fs::exists(temp_.path() / "pic.gif"));
  EXPECT_EQ(resized_, std::vector<std::string>{ToUtf8(chosen) + ".gif 300x200"});

  // A type the sheet does not write gets ".jpg" added; the dialog stays open.
  Text bmp = TextFromPath(temp_.path() / "pic.bmp");
  choice = Run(lastPreview_, {"saveAs", ToUtf8(bmp).c_str(), "ok"});
  ASSERT_TRUE(choice);
  EXPECT_TRUE(fs::exists(temp_.path() / "pic.bmp.jpg"));
  EXPECT_EQ(ui_.saveDialogsShown().back().filter,
            u"Image Files (*.gif;*.jpg;*.png;)|*.gif;*.jpg;*.png||");

  // A cancelled save dialog writes nothing.
  const size_t before = conversions_.size();
  Run(lastPreview_, {"saveAs", "cancel", "cancel"});
  EXPECT_EQ(conversions_.size(), before);
}

}  // namespace
}  // namespace qorva
