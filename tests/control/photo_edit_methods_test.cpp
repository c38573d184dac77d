#include "control/photo_edit_methods.h"

#include <gtest/gtest.h>

#include "../support/temp_dir_fixture.h"
#include "control/control_scene.h"
#include "support/encoding.h"

namespace qorva {
namespace {

Bitmap Screen() {
  Bitmap screen = *Bitmap::Create(32, 24, PixelFormat::kRgb24);
  screen.Fill(MakeArgb(255, 30, 60, 90));
  return screen;
}

TEST(SetScreenCapture, ReturnsTheInsertedElementInEitherMode) {
  ScopedTemporaryDirectory temp;
  for (const char* container : {"0", "1"}) {
    ControlScene scene;
    scene.Load({{u"hasContainer", FromUtf8(container)}, {u"systemTitle", u"편집기"}});
    scene.platform.screen.SetScreen(Screen());
    for (const char16_t* answer : {u"capture-full", u"rotate-left", u"insert", u"yes"}) {
      scene.ui.QueueAnswer(answer);
    }
    InvokeResult result = scene.Call(u"setScreenCapture", {Variant::Int(7)});
    EXPECT_EQ(result.status, DispatchStatus::kOk);
    EXPECT_TRUE(
        result.value.text.starts_with(u"<img style=\"width:24px; height:32px\" src=\"file:///"))
        << container << ": " << ToUtf8(result.value.text);
    ASSERT_EQ(scene.ui.shown().size(), 1u) << container;
    EXPECT_EQ(scene.ui.shown()[0].caption, u"편집기");
  }
}

TEST(SetScreenCapture, ClosingOrEscapeGivesNothing) {
  ScopedTemporaryDirectory temp;
  ControlScene scene;
  scene.Load();
  scene.platform.screen.SetScreen(Screen());
  for (const char16_t* answer : {u"capture-full", u"insert", u"no", u"close", u"yes"}) {
    scene.ui.QueueAnswer(answer);
  }
  EXPECT_EQ(scene.Call(u"setScreenCapture", {Variant::Int(0)}).value.text, u"");
  scene.ui.QueueAnswer(u"cancel");
  EXPECT_EQ(scene.Call(u"setScreenCapture", {Variant::Int(0)}).value.text, u"");
  EXPECT_EQ(scene.ui.answersLeft(), 0u);
}

}  // namespace
}  // namespace qorva
