#include "images/image_resize_dialog.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory/scripted_user_interface.h"
#include "support/encoding.h"

namespace qorva {
namespace {

struct Outcome {
  bool ok;
  int32_t width, height;
  Text shownWidth, shownHeight;
};

Outcome Resize(int32_t width, int32_t height, std::initializer_list<const char*> answers) {
  ScriptedUserInterface ui;
  for (const char* answer : answers) ui.QueueAnswer(FromUtf8(answer));
  CImageResizePresenter presenter(width, height);
  bool ok = ui.RunDialog(presenter);
  const auto& shown = ui.dialogsShown().back();
  return {ok, presenter.imageWidth(), presenter.imageHeight(), shown.TextOf("width"),
          shown.TextOf("height")};
}

TEST(ImageResize, AppliesTheSizeKeptInProportion) {
  struct Case {
    std::initializer_list<const char*> answers;
    bool ok;
    int32_t width, height;
  };
  const Case cases[] = {
      {{"width=400", "apply"}, true, 400, 299},
      {{"height=200", "apply"}, true, 266, 200},
      {{"keepRatio", "width=400", "apply"}, true, 400, 600},
      {{"keepRatio", "keepRatio", "width=400", "apply"}, true, 400, 299},
      {{"width=abc", "apply"}, true, 0, 0},   // text without digits counts as 0
      {{"width=", "apply"}, true, 0, 600},    // an empty side stops the sync
      {{"width=400", "ok"}, true, 800, 600},  // Enter keeps the opening size
      {{"width=400", "cancel"}, false, 800, 600},
      {{"width=400", "close"}, false, 800, 600},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    Outcome outcome = Resize(800, 600, cases[i].answers);
    EXPECT_EQ(outcome.ok, cases[i].ok) << "case " << i;
    EXPECT_EQ(outcome.width, cases[i].width) << "case " << i;
    EXPECT_EQ(outcome.height, cases[i].height) << "case " << i;
  }
}

TEST(ImageResize, OpensWithTheGivenSizeAndSurvivesAZeroSide) {
  Outcome outcome = Resize(640, 0, {"width=10", "apply"});
  EXPECT_EQ(outcome.shownWidth, u"10");
  EXPECT_EQ(outcome.shownHeight, u"0");
  outcome = Resize(0, 0, {"height=10", "apply"});
  EXPECT_EQ(outcome.width, 0);
  EXPECT_EQ(outcome.height, 10);
}

}  // namespace
}  // namespace qorva
