#include "images/image_property_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>

#include "platform/memory/memory_platform.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/image_files.h"
#include "support/temp_dir_fixture.h"
#include "support/working_folder.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

class ImagePropertyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    picture_ = TextFromPath(temp_.path() / "pictures" / "photo.png");
    WritePicture(picture_, 300, 200);
  }

  void WritePicture(const Text& path, int32_t width, int32_t height) {
    fs::create_directories(PathFromText(path).parent_path());
    std::optional<Bitmap> image = Bitmap::Create(width, height, PixelFormat::kRgb24);
    ASSERT_TRUE(image);
    image->Fill(0xFF336699);
    ASSERT_EQ(SaveImageFile(platform_.codec(), u"png", path, kRotateNoneFlipX, *image, 100),
              ImageStatus::kOk);
  }

  ImagePropertyContext Context() {
    return {ui_, platform_.system, platform_.codec(), u"Title", accessibility_, dialogType_, {},
            {},  defaultSize_};
  }

  // Runs the dialog with the answers; the fragment when it ended with OK.
  std::optional<Text> Run(DialogKind look, const ImagePropertyArgs& args,
                          std::initializer_list<std::string> answers) {
    for (const std::string& answer : answers) ui_.QueueAnswer(FromUtf8(answer));
    CImagePropertyPresenter presenter(Context(), look, AttributesFromArgs(args));
    bool ok = ui_.RunDialog(presenter);
    lastRatio_ = presenter.aspectRatio();
    if (!ok) return std::nullopt;
    return presenter.resultHtml();
  }

  ImagePropertyArgs WithPicture(TextView width = u"300", TextView height = u"200") {
    ImagePropertyArgs args;
    args.src = picture_;
    args.width = width;
    args.height = height;
    return args;
  }

  const ScriptedUserInterface::DialogShown& Last() { return ui_.dialogsShown().back(); }

  ScopedTemporaryDirectory temp_;
  MemoryPlatform platform_;
  ScriptedUserInterface& ui_ = platform_.userInterface;
  Text picture_;
  Text accessibility_ = u"0";
  uint32_t dialogType_ = 0;
  ImageSize defaultSize_;
  float lastRatio_ = 0;
};

constexpr DialogKind kLooks[] = {DialogKind::kImageProperty, DialogKind::kImagePropertySheet};

TEST_F(ImagePropertyTest, KeepsTheRatioOfTheGivenSizeWhileTheSwitchIsOn) {
  struct Case {
    const char* typed;
    const char* width;
    const char* height;
  };
  const Case cases[] = {{"width=150", "150", "100"},
                        {"width=100", "100", "66"},
                        {"height=50", "75", "50"},
                        {"width=", "", "100"}};  // an empty side leaves the other
  for (DialogKind look : kLooks) {
    for (const Case& c : cases) {
      Run(look, WithPicture(), {"width=150", c.typed, "cancel"});
      EXPECT_EQ(Last().TextOf("width"), FromUtf8(c.width)) << c.typed;
      EXPECT_EQ(Last().TextOf("height"), FromUtf8(c.height)) << c.typed;
      EXPECT_FLOAT_EQ(lastRatio_, 1.5f);
    }
    Run(look, WithPicture(), {"keepRatio", "width=150", "cancel"});
    EXPECT_EQ(Last().TextOf("keepRatio"), u"off");
    EXPECT_EQ(Last().TextOf("height"), u"200") << "with the switch off the sides are free";
    Run(look, WithPicture(), {"keepRatio", "keepRatio", "width=150", "cancel"});
    EXPECT_EQ(Last().TextOf("height"), u"100") << "switched on again";
  }
}

TEST_F(ImagePropertyTest, DoesNotSyncBeforeASizeIsKnown) {
  ImagePropertyArgs args = WithPicture(u"", u"0");
  Run(DialogKind::kImageProperty, args, {"height=10", "width=50", "cancel"});
  EXPECT_EQ(Last().TextOf("height"), u"10");
  EXPECT_EQ(Last().TextOf("width"), u"50");
  // The original-size button measures the picture and starts the sync.
  Run(DialogKind::kImageProperty, args, {"originalSize", "width=30", "cancel"});
  EXPECT_EQ(Last().TextOf("height"), u"20");
}

TEST_F(ImagePropertyTest, SpinsStopAtTheirLimits) {
  struct Case {
    const char* set;
    const char* press;
    const char* field;
    const char* expected;
  };
  const Case cases[] = {
      {"width=4000", "widthSpin=up", "width", "4000"},
      {"width=3999", "widthSpin=up", "width", "4000"},
      {"width=0", "widthSpin=down", "width", "0"},
      {"height=1", "heightSpin=down", "height", "0"},
      {"border=30", "borderSpin=up", "border", "30"},
      {"border=29", "borderSpin=up", "border", "30"},
      {"hspace=0", "hspaceSpin=down", "hspace", "0"},
  };
  for (const Case& c : cases) {
    Run(DialogKind::kImagePropertySheet, WithPicture(), {"keepRatio", c.set, c.press, "cancel"});
    EXPECT_EQ(Last().TextOf(c.field), FromUtf8(c.expected)) << c.set << " " << c.press;
  }
}

TEST_F(ImagePropertyTest, BuildsTheFragment) {
  struct Case {
    std::initializer_list<const char*> answers;
    const char* attributes;  // between the style and the source
    const char* before;      // the link's opening, or ""
  };
  const Case cases[] = {
      {{}, " border=\"\"", ""},
      {{"title=say \"hi\"", "description=a", "border=2"},
       " title=\"say &quot;hi&quot;\" alt=\"a\" border=\"2\"",
       ""},
      {{"align=Left", "vspace=3", "hspace=4"},
       " border=\"\" align=\"Left\" vspace=\"3\" hspace=\"4\"",
       ""},
      {{"linkTitle=t", "target=top"}, " border=\"\"", ""},
      {{"href=http://h/p", "target=self"},
       " border=\"\"",
       "<a  target=\"self\" href=\"http://h/p\">\n"},
      {{"href=x", "linkTitle=a\"b"},
       " border=\"\"",
       "<a  title=\"a&quot;b\" target=\"blank\" href=\"x\">\n"},
  };
  for (const Case& c : cases) {
    for (const char* answer : c.answers) ui_.QueueAnswer(FromUtf8(answer));
    std::optional<Text> html = Run(DialogKind::kImagePropertySheet, WithPicture(), {"ok"});
    ASSERT_TRUE(html);
    std::string text = ToUtf8(*html);
    std::string image =
        "<img style=\"width:300px; height:200px\"" + std::string(c.attributes) + " src=\"file:///";
    std::string before = c.before;
    EXPECT_EQ(text.substr(0, before.size() + image.size()), before + image) << text;
    EXPECT_EQ(text.ends_with(before.empty() ? ".png\" />" : ".png\" />\n</a>"), true) << text;
  }
}

TEST_F(ImagePropertyTest, CopiesThePictureIntoTheWorkingFolderOnce) {
  std::optional<Text> html = Run(DialogKind::kImageProperty, WithPicture(), {"confirm"});
  ASSERT_TRUE(html);
  Text folder = WorkingFolderPath(kWorkingFolderName);
  Text slashed = folder;
  ReplaceAll(slashed, u"\\", u"/");
  size_t src = html->find(u"file:///") + 8;
  Text copy = html->substr(src, html->size() - src - 4);
  ASSERT_EQ(copy.substr(0, slashed.size()), slashed) << ToUtf8(*html);
  EXPECT_TRUE(copy.ends_with(u".png"));
  EXPECT_EQ(ScopedTemporaryDirectory::ReadBytes(PathFromText(copy)),
            ScopedTemporaryDirectory::ReadBytes(PathFromText(picture_)));

  // A picture already in the working folder is used where it is.
  ImagePropertyArgs again = WithPicture();
  again.src = copy;
  html = Run(DialogKind::kImageProperty, again, {"confirm"});
  ASSERT_TRUE(html);
  EXPECT_NE(html->find(u"file:///" + copy + u"\""), Text::npos) << ToUtf8(*html);
}

TEST_F(ImagePropertyTest, RefusesMissingAndUndecodablePictures) {
  Text junk = TextFromPath(temp_.path() / "junk.png");
  ScopedTemporaryDirectory::WriteBytes(PathFromText(junk), "not a picture");
  Text missing = TextFromPath(temp_.path() / "gone.png");
  EXPECT_FALSE(Run(DialogKind::kImagePropertySheet, WithPicture(),
                   {"path=" + ToUtf8(missing), "ok", "path=", "ok", "cancel"}));
  ASSERT_EQ(ui_.shown().size(), 1u) << "an empty path fails silently";
  EXPECT_EQ(ui_.shown()[0].icon, MessageIcon::kWarning);
  EXPECT_NE(ui_.shown()[0].text.find(u"위치 : " + missing + u"\n"), Text::npos);

  ui_.ClearShown();
  ImagePropertyArgs args = WithPicture();
  args.src = junk;
  EXPECT_FALSE(Run(DialogKind::kImagePropertySheet, args, {"width=5", "cancel"}));
  ASSERT_EQ(ui_.shown().size(), 1u);
  EXPECT_EQ(ui_.shown()[0].text.substr(0, 12), u"허용하지 않거나 이미지");
  EXPECT_EQ(Last().TextOf("path"), u"") << "opening stops at a picture that fails";
  EXPECT_EQ(Last().TextOf("width"), u"5");
}

TEST_F(ImagePropertyTest, AsksForADescriptionAsConfigured) {
  struct Case {
    const char* accessibility;
    size_t messages;
    MessageIcon icon;
    bool built;
  };
  const Case cases[] = {{"0", 0, MessageIcon::kNone, true},
                        {"1", 1, MessageIcon::kQuestion, true},
                        {"2", 1, MessageIcon::kError, false}};
  for (const Case& c : cases) {
    ui_.ClearShown();
    accessibility_ = FromUtf8(c.accessibility);
    std::optional<Text> html = Run(DialogKind::kImageProperty, WithPicture(), {"confirm"});
    EXPECT_EQ(html.has_value(), c.built) << c.accessibility;
    ASSERT_EQ(ui_.shown().size(), c.messages) << c.accessibility;
    if (c.messages) {
      EXPECT_EQ(ui_.shown()[0].icon, c.icon) << c.accessibility;
    }
  }
  // With a description nothing is asked.
  ui_.ClearShown();
  EXPECT_TRUE(Run(DialogKind::kImageProperty, WithPicture(), {"description=d", "confirm"}));
  EXPECT_TRUE(ui_.shown().empty());
}

TEST_F(ImagePropertyTest, BrowsingMeasuresThePictureWithinTheDefaultSize) {
  defaultSize_ = {150, 0};
  ImagePropertyArgs args;
  std::optional<Text> html =
      Run(DialogKind::kImagePropertySheet, args, {"browse", ToUtf8(picture_), "width=60", "ok"});
  ASSERT_TRUE(html);
  EXPECT_EQ(Last().TextOf("path"), picture_);
  EXPECT_EQ(Last().TextOf("height"), u"40");
  EXPECT_EQ(Last().TextOf("fileSize").ends_with(u"Bytes"), true);
  ASSERT_EQ(ui_.openDialogsShown().size(), 1u);
  EXPECT_EQ(ui_.openDialogsShown()[0].style, UserInterface::OpenStyle::kModern);

  dialogType_ = 1;
  Run(DialogKind::kImagePropertySheet, args, {"browse", "cancel", "cancel"});
  EXPECT_EQ(ui_.openDialogsShown()[1].style, UserInterface::OpenStyle::kOld);
  EXPECT_EQ(Last().TextOf("path"), u"");
}

TEST_F(ImagePropertyTest, FillsTheItemsFromTheArguments) {
  ImagePropertyArgs args = WithPicture(u"12px", u"x");
  args.src = u"file:///" + picture_;
  args.align = u"Middle";
  args.title = u"t";
  args.alt = u"a";
  args.href = u"h";
  args.title2 = u"t2";
  args.target = u"nowhere";
  args.border = u"7";
  Run(DialogKind::kImagePropertySheet, args, {"cancel"});
  EXPECT_EQ(Last().TextOf("width"), u"12");
  EXPECT_EQ(Last().TextOf("height"), u"0");
  EXPECT_EQ(Last().TextOf("widthSpin"), u"12");
  EXPECT_EQ(Last().TextOf("border"), u"7");
  EXPECT_EQ(Last().TextOf("align"), u"Middle");
  EXPECT_EQ(Last().TextOf("target"), u"blank");
  EXPECT_EQ(Last().TextOf("href"), u"h");
  EXPECT_EQ(Last().TextOf("linkTitle"), u"t2");
  EXPECT_EQ(Last().TextOf("description"), u"a");

  Run(DialogKind::kImagePropertySheet, args, {"clearLink", "cancel"});
  EXPECT_EQ(Last().TextOf("href"), u"");
  EXPECT_EQ(Last().TextOf("linkTitle"), u"");

  // Without a source the image's own attributes are not taken.
  args.src.clear();
  Run(DialogKind::kImagePropertySheet, args, {"cancel"});
  EXPECT_EQ(Last().TextOf("width"), u"");
  EXPECT_EQ(Last().TextOf("href"), u"h");
}

}  // namespace
}  // namespace qorva
