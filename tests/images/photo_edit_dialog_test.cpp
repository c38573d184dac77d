#include "images/photo_edit_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "../support/temp_dir_fixture.h"
#include "graphics/bitmap.h"
#include "platform/memory/memory_platform.h"
#include "support/encoding.h"
#include "support/image_files.h"

namespace qorva {
namespace {

// Blue with a red block at the top left, so that a turn shows where it went.
Bitmap Pattern(int32_t width, int32_t height) {
  Bitmap image = *Bitmap::Create(width, height, PixelFormat::kRgb24);
  image.Fill(MakeArgb(255, 0, 0, 200));
  for (int32_t y = 0; y < height / 4; ++y) {
    for (int32_t x = 0; x < width / 4; ++x) image.SetPixel(x, y, MakeArgb(255, 220, 0, 0));
  }
  return image;
}

class PhotoEditorTest : public ::testing::Test {
 protected:
  struct Outcome {
    bool ok;
    Text html;
  };

  Outcome Run(std::initializer_list<const char*> answers) {
    for (const char* answer : answers) ui_.QueueAnswer(FromUtf8(answer));
    presenter_ = std::make_unique<CPhotoEditPresenter>(
        PhotoEditContext{ui_, platform_.system, platform_.codec(), platform_.clipboard,
                         platform_.screen, u"Title", 90});
    bool ok = ui_.RunDialog(*presenter_);
    EXPECT_EQ(ui_.answersLeft(), 0u);
    return {ok, presenter_->resultHtml()};
  }

  Text Questions() const {
    Text all;
    for (const auto& shown : ui_.shown()) all += shown.text + u"|";
    return all;
  }

  // The path the element names, checked to be a JPEG in the working folder.
  static std::filesystem::path InsertedFile(const Text& html) {
    const Text prefix = u"src=\"file:///";
    size_t start = html.find(prefix);
    if (start == Text::npos) return {};
    start += prefix.size();
    size_t end = html.find(u'"', start);
    return ToUtf8(html.substr(start, end - start));
  }

  Text Style(int32_t width, int32_t height) {
    return FormatText("<img style=\"width:%dpx; height:%dpx\" src=\"file:///", width, height);
  }

  std::string WriteFile(const Bitmap& image, const char* name) {
    std::filesystem::path file = temp_.path() / name;
    Bitmap copy = image;
    SaveImageFile(platform_.codec(), u"png", FromUtf8(file.string()), kRotateNoneFlipX, copy, 100);
    return file.string();
  }

  ScopedTemporaryDirectory temp_;
  MemoryPlatform platform_;
  ScriptedUserInterface& ui_ = platform_.userInterface;
  std::unique_ptr<CPhotoEditPresenter> presenter_;
};

TEST_F(PhotoEditorTest, CaptureThenInsertGivesTheElementOfAJpegInTheWorkingFolder) {
  platform_.screen.SetScreen(Pattern(64, 48));
  Outcome out = Run({"capture-full", "insert", "yes"});
  EXPECT_TRUE(out.ok);
  EXPECT_TRUE(out.html.starts_with(Style(64, 48))) << ToUtf8(out.html);
  EXPECT_TRUE(out.html.ends_with(u".jpg\" />"));
  std::filesystem::path file = InsertedFile(out.html);
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(file.parent_path().filename(), "qorvaTemp");
  EXPECT_EQ(Questions(), u"편집한 이미지를 에디터에 삽입 하시겠습니까?|");
  EXPECT_EQ(ui_.shown().front().caption, u"Title");
  EXPECT_EQ(ui_.shown().front().icon, MessageIcon::kQuestion);
  // The capture went through the clipboard, which keeps it.
  ASSERT_TRUE(platform_.clipboard.bitmap());
  EXPECT_EQ(platform_.clipboard.bitmap()->width(), 64);
  EXPECT_EQ(platform_.screen.captures().size(), 1u);
}

TEST_F(PhotoEditorTest, RotatingBeforeInsertSwapsTheSizeAndTurnsThePicture) {
  platform_.screen.SetScreen(Pattern(64, 48));
  Outcome out = Run({"capture-full", "rotate-right", "insert", "yes"});
  ASSERT_TRUE(out.ok);
  EXPECT_TRUE(out.html.starts_with(Style(48, 64))) << ToUtf8(out.html);
  ImageDecodeResult written =
      LoadImageFile(platform_.codec(), FromUtf8(InsertedFile(out.html).string()));
  ASSERT_TRUE(written.image);
  // The red block moved from the top left to the top right.
  EXPECT_GT(RedOf(written.image->PixelAt(44, 4)), 180);
  EXPECT_LT(RedOf(written.image->PixelAt(4, 4)), 60);
}

TEST_F(PhotoEditorTest, EveryToolOperatesOnTheCanvas) {
  std::string file = WriteFile(Pattern(40, 20), "in.png");
  const std::string open = "open=" + file;
  Outcome out = Run({open.c_str(), "mirror-lr", "mirror-ud", "rotate-left", "grey", "invert",
                     "sepia", "darker", "brighter", "resize=30x50", "cancel"});
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.html, u"");
  EXPECT_EQ(presenter_->openedFilePath(), FromUtf8(file));
  EXPECT_EQ(presenter_->canvas().ImageSize().width, 30);
  EXPECT_EQ(presenter_->canvas().ImageSize().height, 50);
  EXPECT_NEAR(presenter_->canvas().brightnessShift(), 0.0f, 1e-6f);
  EXPECT_EQ(ui_.openDialogsShown().front().filter, kPhotoOpenFilter);
  EXPECT_GE(ui_.waitCursorsShown(), 9);
  EXPECT_FALSE(ui_.waitCursorShowing());
}

TEST_F(PhotoEditorTest, DisabledAndIdleToolsDoNothing) {
  platform_.screen.SetScreen(Pattern(16, 16));
  Outcome out =
      Run({"capture-full", "undo", "redo", "zoom-in", "zoom-out", "zoom-original", "select-area",
           "crop", "text", "capture-active", "color-more", "settings", "ok"});
  // Enter closes with OK and nothing inserted.
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.html, u"");
  EXPECT_EQ(Questions(), u"");
  EXPECT_EQ(presenter_->canvas().ImageSize().width, 16);
  // The presenter ignores them too, whatever the view lets through.
  ScriptedUserInterface other;
  CPhotoEditPresenter direct(PhotoEditContext{other, platform_.system, platform_.codec(),
                                              platform_.clipboard, platform_.screen, u"", 90});
  struct NullView final : DialogView {
    void SetText(int32_t, TextView) override {}
    Text GetText(int32_t) override { return {}; }
    void SetListItems(int32_t, std::span<const TextView>) override {}
    void SelectListItem(int32_t, int32_t) override {}
    void SetChecked(int32_t, bool) override {}
    bool IsChecked(int32_t) override { return false; }
    void SetSpinPosition(int32_t, int32_t) override {}
    void EndDialog(bool) override { ended = true; }
    bool ended = false;
  } view;
  for (const PhotoEditButton& button : PhotoEditButtons()) {
    if (button.state != ToolState::kActive) direct.OnClicked(view, button.id);
  }
  EXPECT_FALSE(view.ended);
  EXPECT_TRUE(other.shown().empty());
}

TEST_F(PhotoEditorTest, InsertQuestionAnsweredNoKeepsTheEditorOpen) {
  platform_.screen.SetScreen(Pattern(20, 10));
  Outcome out = Run({"capture-full", "insert", "no", "ok"});
  EXPECT_TRUE(out.ok);
  EXPECT_TRUE(out.html.starts_with(Style(20, 10)));
}

TEST_F(PhotoEditorTest, CloseAsksAndEscapeDoesNot) {
  platform_.screen.SetScreen(Pattern(20, 10));
  Outcome kept = Run({"close", "no", "capture-full", "insert", "no", "close", "yes"});
  EXPECT_FALSE(kept.ok);
  EXPECT_EQ(Questions(),
            u"이미지 편집을 종료하시겠습니까?|편집한 이미지를 에디터에 삽입 하시겠습니까?|"
            u"이미지 편집을 종료하시겠습니까?|");
  ui_.ClearShown();
  EXPECT_FALSE(Run({"cancel"}).ok);
  EXPECT_EQ(Questions(), u"");
}

TEST_F(PhotoEditorTest, ResetReloadsOnlyAnOpenedFile) {
  platform_.screen.SetScreen(Pattern(20, 10));
  Run({"capture-full", "rotate-right", "reset", "cancel"});
  EXPECT_EQ(Questions(), u"");  // a capture is not reset
  EXPECT_EQ(presenter_->canvas().ImageSize().width, 10);

  std::string file = WriteFile(Pattern(40, 20), "in.png");
  const std::string open = "open=" + file;
  Run({open.c_str(), "rotate-right", "reset", "no", "cancel"});
  EXPECT_EQ(presenter_->canvas().ImageSize().width, 20);
  Run({open.c_str(), "rotate-right", "reset", "yes", "cancel"});
  EXPECT_EQ(presenter_->canvas().ImageSize().width, 40);
}

TEST_F(PhotoEditorTest, NothingToCaptureLoadsNothingAndInsertAsksNothing) {
  Outcome out = Run({"capture-full", "capture-browser", "insert", "resize=10x10", "ok"});
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.html, u"");
  EXPECT_EQ(Questions(), u"");
  EXPECT_FALSE(presenter_->canvas().imageLoaded());
  EXPECT_EQ(ui_.dialogsShown().size(), 1u);  // no resize dialog without a picture
  ASSERT_EQ(platform_.screen.captures().size(), 2u);
  EXPECT_EQ(platform_.screen.captures()[1], CaptureArea::kBrowserWindow);
}

TEST_F(PhotoEditorTest, BrowserCaptureTakesTheBrowserWindow) {
  platform_.screen.SetScreen(Pattern(64, 48));
  platform_.screen.SetBrowserWindow(Pattern(30, 20));
  Outcome out = Run({"capture-browser", "insert", "yes"});
  EXPECT_TRUE(out.html.starts_with(Style(30, 20))) << ToUtf8(out.html);
}

TEST_F(PhotoEditorTest, OpeningTheEditorGreysTheInactiveToolsAndSetsEveryTooltip) {
  struct RecordingView final : DialogView {
    void SetText(int32_t, TextView) override {}
    Text GetText(int32_t) override { return {}; }
    void SetListItems(int32_t, std::span<const TextView>) override {}
    void SelectListItem(int32_t, int32_t) override {}
    void SetChecked(int32_t, bool) override {}
    bool IsChecked(int32_t) override { return false; }
    void SetSpinPosition(int32_t, int32_t) override {}
    void EndDialog(bool) override {}
    void EnableItem(int32_t id, bool enabled) override {
      if (!enabled) disabled.insert(id);
    }
    void ShowItem(int32_t id, bool shown) override {
      if (!shown) hidden.insert(id);
    }
    void SetTooltip(int32_t id, TextView text) override { tooltips[id] = Text(text); }
    std::set<int32_t> disabled, hidden;
    std::map<int32_t, Text> tooltips;
  } view;
  CPhotoEditPresenter presenter(PhotoEditContext{ui_, platform_.system, platform_.codec(),
                                                 platform_.clipboard, platform_.screen, u"", 90});
  presenter.OnOpen(view);
  EXPECT_EQ(view.disabled,
            (std::set<int32_t>{kPhotoUndo, kPhotoRedo, kPhotoZoomIn, kPhotoZoomOut,
                               kPhotoZoomOriginal, kPhotoSelectArea, kPhotoCrop, kPhotoText}));
  EXPECT_EQ(view.hidden, std::set<int32_t>{kPhotoCaptureActive});
  EXPECT_EQ(view.tooltips.size(), 27u);
  for (const auto& [id, text] : view.tooltips) EXPECT_FALSE(text.empty()) << id;
  EXPECT_EQ(PointerPositionText(12, 7), u"X:12, Y:7 pixel");
}

}  // namespace
}  // namespace qorva
