// A user interface without a screen: it records every message box, answers with the
// answers queued in advance (else the first button), and can echo each box to a stream
// as "[caption] text".
#pragma once

#include <deque>
#include <ostream>
#include <vector>

#include "platform/user_interface.h"

namespace qorva {

class ScriptedUserInterface final : public UserInterface {
 public:
  struct Shown {
    Text text;
    Text caption;
    MessageIcon icon;
    MessageButtons buttons;
  };

  explicit ScriptedUserInterface(std::ostream* echo = nullptr) : echo_(echo) {}

  MessageAnswer ShowMessageBox(TextView text, TextView caption, MessageIcon icon,
                               MessageButtons buttons) override;
  // Answers with the choices queued in advance; without one, as if cancelled.
  std::optional<ImageSaveChoice> ChooseImageSave(TextView caption, TextView previewPath) override;

  struct SheetShown {
    Text caption;
    Text previewPath;
  };
  void QueueImageSaveChoice(std::optional<ImageSaveChoice> choice) {
    sheetChoices_.push_back(std::move(choice));
  }
  const std::vector<SheetShown>& sheetsShown() const { return sheetsShown_; }

  // Records the cursor instead of showing it.
  void BeginWaitCursor() override {
    ++waitCursorsShown_;
    ++waitDepth_;
  }
  void EndWaitCursor() override { --waitDepth_; }
  int waitCursorsShown() const { return waitCursorsShown_; }
  bool waitCursorShowing() const { return waitDepth_ > 0; }

  void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
  const std::vector<Shown>& shown() const { return shown_; }
  void ClearShown() { shown_.clear(); }

 private:
  std::ostream* echo_;
  std::deque<MessageAnswer> answers_;
  std::vector<Shown> shown_;
  std::deque<std::optional<ImageSaveChoice>> sheetChoices_;
  std::vector<SheetShown> sheetsShown_;
  int waitCursorsShown_ = 0;
  int waitDepth_ = 0;
};

}  // namespace qorva
