// The user-facing side of the platform: message boxes (owned by the control window,
// which the back end knows) and, as later parts need them, dialogs.
#pragma once

#include "support/text.h"

namespace qorva {

enum class MessageIcon { kNone, kInformation, kWarning, kError, kQuestion };
enum class MessageButtons { kOk, kOkCancel, kYesNo };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Shows a modal message box and returns the button the user chose.
  virtual MessageAnswer ShowMessageBox(TextView text, TextView caption, MessageIcon icon,
                                       MessageButtons buttons) = 0;
};

}  // namespace qorva
