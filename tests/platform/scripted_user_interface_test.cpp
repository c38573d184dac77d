#include "platform/memory/scripted_user_interface.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qorva {
namespace {

TEST(ScriptedUserInterface, AnswersGoToDialogsAndQuestionsInTheOrderTheyOpen) {
  std::ostringstream echo;
  ScriptedUserInterface ui(&echo);
  for (TextView answer : {u"/tmp/a.htm", u"no", u"type=png", u"angle=90", u"ok", u"cancel"}) {
    ui.QueueAnswer(answer);
  }
  // A box with only OK takes no answer.
  EXPECT_EQ(ui.ShowMessageBox(u"Saved", u"T", MessageIcon::kNone, MessageButtons::kOk),
            MessageAnswer::kOk);
  EXPECT_EQ(ui.ChooseSaveFile(u"f||", u"page"), Text(u"/tmp/a.htm"));
  EXPECT_EQ(ui.ShowMessageBox(u"Insert?", u"T", MessageIcon::kQuestion, MessageButtons::kYesNo),
            MessageAnswer::kNo);
  std::optional<ImageSaveChoice> choice = ui.ChooseImageSave(u"Sheet", u"");
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->type, u"png");
  EXPECT_EQ(choice->angle, 90);
  EXPECT_EQ(choice->quality, 100);  // fields not answered keep the sheet's own
  EXPECT_EQ(choice->width, -1);
  EXPECT_EQ(ui.ChooseSaveFile(u"f||", u"page"), std::nullopt);  // "cancel"
  EXPECT_EQ(ui.answersLeft(), 0u);
  EXPECT_EQ(echo.str().find("no answer left"), std::string::npos);
}

TEST(ScriptedUserInterface, WithoutAnswersDialogsCancelAndQuestionsTakeTheirFirstButton) {
  std::ostringstream echo;
  ScriptedUserInterface ui(&echo);
  EXPECT_EQ(ui.ChooseSaveFile(u"f||", u"page"), std::nullopt);
  EXPECT_EQ(ui.ChooseImageSave(u"Sheet", u""), std::nullopt);
  EXPECT_EQ(ui.ShowMessageBox(u"Go?", u"T", MessageIcon::kNone, MessageButtons::kYesNo),
            MessageAnswer::kYes);
  EXPECT_EQ(ui.ShowMessageBox(u"Go?", u"T", MessageIcon::kNone, MessageButtons::kOkCancel),
            MessageAnswer::kOk);
  EXPECT_NE(echo.str().find("no answer left for 'Save As': cancelled"), std::string::npos);
  EXPECT_NE(echo.str().find("no answer left for 'Sheet': cancelled"), std::string::npos);
}

TEST(ScriptedUserInterface, AnswersThatDoNotFitAreReportedNotObeyed) {
  std::ostringstream echo;
  ScriptedUserInterface ui(&echo);
  ui.QueueAnswer(u"cancel");  // not a button of a yes/no question
  EXPECT_EQ(ui.ShowMessageBox(u"Go?", u"T", MessageIcon::kNone, MessageButtons::kYesNo),
            MessageAnswer::kYes);
  for (TextView answer : {u"quality=high", u"colour=red", u"width=7", u"ok"}) {
    ui.QueueAnswer(answer);
  }
  std::optional<ImageSaveChoice> choice = ui.ChooseImageSave(u"Sheet", u"");
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->quality, 100);
  EXPECT_EQ(choice->width, 7);
  const std::string notes = echo.str();
  EXPECT_NE(notes.find("'cancel' is no button"), std::string::npos);
  EXPECT_NE(notes.find("no field answer 'quality=high'"), std::string::npos);
  EXPECT_NE(notes.find("no field answer 'colour=red'"), std::string::npos);
}

TEST(ScriptedUserInterface, TheImageTypeSheetHoldsTheQualityInItsRange) {
  const std::pair<TextView, int32_t> cases[] = {
      {u"quality=120", 100}, {u"quality=10", 50}, {u"quality=75", 75}};
  for (const auto& [answer, quality] : cases) {
    ScriptedUserInterface ui;
    ui.QueueAnswer(answer);
    ui.QueueAnswer(u"type=png");
    ui.QueueAnswer(u"ok");
    std::optional<ImageSaveChoice> choice = ui.ChooseImageSave(u"Sheet", u"");
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->quality, quality) << quality;
    EXPECT_EQ(choice->type, u"png");
  }
}

}  // namespace
}  // namespace qorva
