// The user-facing side of the platform: message boxes (owned by the control window,
// which the back end knows), the wait cursor and, as later parts need them, dialogs.
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"
#include "platform/modal_dialog.h"

namespace qorva {

enum class MessageIcon { kNone, kInformation, kWarning, kError, kQuestion };
enum class MessageButtons { kOk, kOkCancel, kYesNo };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

// What the user chose in the image type sheet.
struct ImageSaveChoice {
  Text type;  // "jpg", "gif" or "png"
  int32_t quality = 100;
  int32_t angle = 0;
  int32_t width = -1;
  int32_t height = -1;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Shows a modal message box and returns the button the user chose.
  virtual MessageAnswer ShowMessageBox(TextView text, TextView caption, MessageIcon icon,
                                       MessageButtons buttons) = 0;

  // Shows the image type sheet modally with `caption` and the preview image at
  // `previewPath` ("" for none); none when it does not end with OK.
  virtual std::optional<ImageSaveChoice> ChooseImageSave(TextView caption,
                                                         TextView previewPath) = 0;

  // The save-file dialog: `filter` in the bar syntax ("Text (*.txt)|*.txt||"),
  // `initialName` in the name field, and a question before an existing file is
  // replaced. The full path chosen; none when the user cancels.
  virtual std::optional<Text> ChooseSaveFile(TextView filter, TextView initialName) = 0;

  // How the open-file dialog looks: the platform's current style, or the older one
  // (through the utility library when it is installed, else the platform's plain one).
  enum class OpenStyle { kModern, kOld };
  struct OpenFileRequest {
    Text filter;  // in the bar syntax
    Text initialFolder;
    Text title;  // "" for the platform's own
    OpenStyle style = OpenStyle::kModern;
  };
  // The open-file dialog for one existing file: its full path; none when cancelled.
  virtual std::optional<Text> ChooseOpenFile(const OpenFileRequest& request) = 0;

  // Runs `presenter`'s dialog modally over the control window; true when it ended
  // with OK.
  virtual bool RunDialog(DialogPresenter& presenter) = 0;

  // The wait cursor shows from the first Begin to the matching End; calls nest.
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
};

// Shows the wait cursor for as long as it lives.
class WaitCursor {
 public:
  explicit WaitCursor(UserInterface& ui) : ui_(ui) { ui_.BeginWaitCursor(); }
  ~WaitCursor() { ui_.EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  UserInterface& ui_;
};

}  // namespace qorva
