#include "platform/memory/scripted_user_interface.h"

#include "support/encoding.h"

namespace qorva {

MessageAnswer ScriptedUserInterface::ShowMessageBox(TextView text, TextView caption,
                                                    MessageIcon icon, MessageButtons buttons) {
  shown_.push_back({Text(text), Text(caption), icon, buttons});
  if (echo_) *echo_ << '[' << ToUtf8(caption) << "] " << ToUtf8(text) << '\n';
  if (!answers_.empty()) {
    MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  switch (buttons) {
    case MessageButtons::kOk:
    case MessageButtons::kOkCancel:
      return MessageAnswer::kOk;
    case MessageButtons::kYesNo:
      return MessageAnswer::kYes;
  }
  return MessageAnswer::kOk;
}

std::optional<ImageSaveChoice> ScriptedUserInterface::ChooseImageSave(TextView caption,
                                                                      TextView previewPath) {
  sheetsShown_.push_back({Text(caption), Text(previewPath)});
  if (echo_) *echo_ << '[' << ToUtf8(caption) << "] " << ToUtf8(previewPath) << '\n';
  if (sheetChoices_.empty()) return std::nullopt;
  std::optional<ImageSaveChoice> choice = sheetChoices_.front();
  sheetChoices_.pop_front();
  return choice;
}

}  // namespace qorva
