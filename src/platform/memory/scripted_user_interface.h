// A user interface without a screen. It records every message box and dialog, can echo
// each to a stream as "[caption] text", and answers from a queue of answer texts in the
// order the dialogs and questions open:
// - a question (a message box with two buttons) takes "ok", "cancel", "yes" or "no";
//   with no answer left it gets its first button; a box with only OK takes no answer;
// - a save-file dialog takes a path, or "cancel";
// - the image type sheet takes "field=value" answers (type, quality, angle, width,
//   height), then "ok" or "cancel"; its OK holds the quality inside 50 to 100;
// - an open-file dialog takes a path, or "cancel";
// - a presenter's dialog takes, by its items' names, "edit=text", "list=entry",
//   "spin=up" or "spin=down", a button's or switch's bare name to press it, and "ok"
//   (Enter) or "cancel" (Escape); it runs until it ends. A grey or hidden item ignores
//   its answer. The photo editor's buttons also take "open=PATH" (the open dialog's
//   answer) and "resize=WxH" (the resize dialog's, with its proportions let go);
//   its questions take "yes" or "no" as they come.
// A dialog with no answer left is cancelled, and the echo stream says so.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/user_interface.h"

namespace qorva {

// "640x480" (or "640X480"): two decimal numbers of at most 31 bits; none for any other
// text.
std::optional<std::pair<int32_t, int32_t>> ParseSizeAnswer(std::string_view text);

class ScriptedUserInterface final : public UserInterface {
 public:
  struct Shown {
    Text text;
    Text caption;
    MessageIcon icon;
    MessageButtons buttons;
  };
  struct SheetShown {
    Text caption;
    Text previewPath;
  };
  struct SaveDialogShown {
    Text filter;
    Text initialName;
  };
  // A presenter's dialog as it stood when it ended: each item's text by name.
  struct DialogShown {
    DialogKind kind;
    std::vector<std::pair<std::string, Text>> finalTexts;
    bool ok = false;
    Text TextOf(std::string_view name) const;
  };

  explicit ScriptedUserInterface(std::ostream* echo = nullptr) : echo_(echo) {}

  MessageAnswer ShowMessageBox(TextView text, TextView caption, MessageIcon icon,
                               MessageButtons buttons) override;
  std::optional<ImageSaveChoice> ChooseImageSave(TextView caption, TextView previewPath) override;
  std::optional<Text> ChooseSaveFile(TextView filter, TextView initialName) override;
  std::optional<Text> ChooseOpenFile(const OpenFileRequest& request) override;
  bool RunDialog(DialogPresenter& presenter) override;

  // Records the cursor instead of showing it.
  void BeginWaitCursor() override {
    ++waitCursorsShown_;
    ++waitDepth_;
  }
  void EndWaitCursor() override { --waitDepth_; }
  int waitCursorsShown() const { return waitCursorsShown_; }
  bool waitCursorShowing() const { return waitDepth_ > 0; }

  void QueueAnswer(TextView answer) { answers_.emplace_back(answer); }
  void QueueAnswer(MessageAnswer answer);
  // The sheet's fields and "ok", or "cancel" for none.
  void QueueImageSaveChoice(const std::optional<ImageSaveChoice>& choice);
  size_t answersLeft() const { return answers_.size(); }

  const std::vector<Shown>& shown() const { return shown_; }
  void ClearShown() { shown_.clear(); }
  const std::vector<SheetShown>& sheetsShown() const { return sheetsShown_; }
  const std::vector<SaveDialogShown>& saveDialogsShown() const { return saveDialogsShown_; }
  const std::vector<OpenFileRequest>& openDialogsShown() const { return openDialogsShown_; }
  const std::vector<DialogShown>& dialogsShown() const { return dialogsShown_; }

 private:
  std::optional<Text> NextAnswer(TextView dialog);
  void Note(const std::string& line);

  std::ostream* echo_;
  std::deque<Text> answers_;
  std::vector<Shown> shown_;
  std::vector<SheetShown> sheetsShown_;
  std::vector<SaveDialogShown> saveDialogsShown_;
  std::vector<OpenFileRequest> openDialogsShown_;
  std::vector<DialogShown> dialogsShown_;
  int waitCursorsShown_ = 0;
  int waitDepth_ = 0;
};

}  // namespace qorva
