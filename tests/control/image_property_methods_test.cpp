#include "control/image_property_methods.h"

#include <gtest/gtest.h>

#include "control_scene.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/image_files.h"
#include "support/string_table.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

class ShowImagePropertyTest : public ::testing::Test {
 protected:
  InvokeResult Show(Text src) {
    std::vector<Variant> args(12, Variant::String(u""));
    args[0] = Variant::String(std::move(src));
    return scene_.Call(u"showImageProperty", args);
  }
  Text Picture() {
    Text path = TextFromPath(temp_.path() / "p.gif");
    std::optional<Bitmap> image = Bitmap::Create(4, 2, PixelFormat::kRgb24);
    EXPECT_TRUE(image);
    EXPECT_EQ(SaveImageFile(scene_.codec(), u"gif", path, kRotateNoneFlipX, *image, 100),
              ImageStatus::kOk);
    return path;
  }

  ScopedTemporaryDirectory temp_;
  ControlScene scene_;
};

TEST_F(ShowImagePropertyTest, TheSheetLookNeedsNoSkins) {
  scene_.Load({{u"imagePropStyle", u"0"}});
  Text picture = Picture();
  scene_.ui.QueueAnswer(u"ok");
  InvokeResult result = Show(picture);
  EXPECT_EQ(result.status, DispatchStatus::kOk);
  EXPECT_EQ(ToUtf8(result.value.text).substr(0, 42),
            "<img style=\"width:px; height:px\" border=\"\"");
  EXPECT_TRUE(scene_.http.exchanges().empty());
  ASSERT_EQ(scene_.ui.dialogsShown().size(), 1u);
  EXPECT_EQ(scene_.ui.dialogsShown()[0].kind, DialogKind::kImagePropertySheet);
}

TEST_F(ShowImagePropertyTest, TheSkinnedLookFetchesItsPicturesFromTheResourceUrl) {
  // An empty value, as the default, also means the skinned look.
  scene_.Load({{u"imagePropStyle", u""}, {u"resourceUrl", u"http://r:8080/app/res/skin.dat"}});
  scene_.http.QueueResponse({u"500", {}, ""});
  EXPECT_EQ(Show(u"").value.text, u"");
  EXPECT_TRUE(scene_.ui.dialogsShown().empty());
  ASSERT_EQ(scene_.ui.shown().size(), 1u);
  EXPECT_EQ(scene_.ui.shown()[0].text, StringTableText(13));

  scene_.ui.QueueAnswer(u"cancel");
  EXPECT_EQ(Show(u"").value.text, u"");
  EXPECT_EQ(scene_.http.exchanges().size(), 10u);
  EXPECT_EQ(scene_.http.exchanges()[1].line.path, u"/app/res/ko/i_bg.png");
  ASSERT_EQ(scene_.ui.dialogsShown().size(), 1u);
  EXPECT_EQ(scene_.ui.dialogsShown()[0].kind, DialogKind::kImageProperty);

  scene_.ui.QueueAnswer(u"cancel");
  Show(u"");
  EXPECT_EQ(scene_.http.exchanges().size(), 10u) << "fetched once per control";
}

TEST_F(ShowImagePropertyTest, ContainerModeRefusesTheDialog) {
  scene_.Load({{u"imagePropStyle", u"0"}, {u"hasContainer", u"1"}});
  EXPECT_EQ(Show(Picture()).value.text, u"");
  EXPECT_TRUE(scene_.ui.dialogsShown().empty());
  ASSERT_FALSE(scene_.ui.shown().empty());
  EXPECT_EQ(scene_.ui.shown().back().text, StringTableText(15));
}

}  // namespace
}  // namespace qorva
