#include "platform/memory/scripted_user_interface.h"

#include <charconv>
#include <string>
#include <string_view>
#include <utility>

#include "support/encoding.h"

namespace qorva {

namespace {

struct ButtonWord {
  TextView word;
  MessageAnswer answer;
};
constexpr ButtonWord kButtonWords[] = {{u"ok", MessageAnswer::kOk},
                                       {u"cancel", MessageAnswer::kCancel},
                                       {u"yes", MessageAnswer::kYes},
                                       {u"no", MessageAnswer::kNo}};

bool Offers(MessageButtons buttons, MessageAnswer answer) {
  switch (buttons) {
    case MessageButtons::kOk:
      return answer == MessageAnswer::kOk;
    case MessageButtons::kOkCancel:
      return answer == MessageAnswer::kOk || answer == MessageAnswer::kCancel;
    case MessageButtons::kYesNo:
      return answer == MessageAnswer::kYes || answer == MessageAnswer::kNo;
  }
  return false;
}

MessageAnswer FirstButton(MessageButtons buttons) {
  return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
}

std::optional<int32_t> ParseNumber(const std::string& text) {
  int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Sets the sheet's field `name` from `value`; false for an unknown field or a bad number.
bool SetSheetField(ImageSaveChoice& choice, const std::string& name, const std::string& value) {
  if (name == "type") {
    choice.type = FromUtf8(value);
    return true;
  }
  constexpr std::pair<std::string_view, int32_t ImageSaveChoice::*> kNumbers[] = {
      {"quality", &ImageSaveChoice::quality},
      {"angle", &ImageSaveChoice::angle},
      {"width", &ImageSaveChoice::width},
      {"height", &ImageSaveChoice::height}};
  std::optional<int32_t> number = ParseNumber(value);
  for (const auto& [field, member] : kNumbers) {
    if (field != name) continue;
    if (!number) return false;
    choice.*member = *number;
    return true;
  }
  return false;
}

}  // namespace

void ScriptedUserInterface::Note(const std::string& line) {
  if (echo_) *echo_ << line << '\n';
}

std::optional<Text> ScriptedUserInterface::NextAnswer(TextView dialog) {
  if (answers_.empty()) {
    Note("no answer left for '" + ToUtf8(dialog) + "': cancelled");
    return std::nullopt;
  }
  Text answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

void ScriptedUserInterface::QueueAnswer(MessageAnswer answer) {
  for (const ButtonWord& word : kButtonWords) {
    if (word.answer == answer) answers_.emplace_back(word.word);
  }
}

void ScriptedUserInterface::QueueImageSaveChoice(const std::optional<ImageSaveChoice>& choice) {
  if (!choice) {
    answers_.emplace_back(u"cancel");
    return;
  }
  answers_.push_back(u"type=" + choice->type);
  answers_.push_back(FormatText("quality=%d", choice->quality));
  answers_.push_back(FormatText("angle=%d", choice->angle));
  answers_.push_back(FormatText("width=%d", choice->width));
  answers_.push_back(FormatText("height=%d", choice->height));
  answers_.emplace_back(u"ok");
}

MessageAnswer ScriptedUserInterface::ShowMessageBox(TextView text, TextView caption,
                                                    MessageIcon icon, MessageButtons buttons) {
  shown_.push_back({Text(text), Text(caption), icon, buttons});
  if (echo_) *echo_ << '[' << ToUtf8(caption) << "] " << ToUtf8(text) << '\n';
  if (buttons == MessageButtons::kOk || answers_.empty()) return FirstButton(buttons);
  Text answer = std::move(answers_.front());
  answers_.pop_front();
  for (const ButtonWord& word : kButtonWords) {
    if (word.word == answer && Offers(buttons, word.answer)) return word.answer;
  }
  Note("the answer '" + ToUtf8(answer) + "' is no button of this question: its first is taken");
  return FirstButton(buttons);
}

std::optional<ImageSaveChoice> ScriptedUserInterface::ChooseImageSave(TextView caption,
                                                                      TextView previewPath) {
  sheetsShown_.push_back({Text(caption), Text(previewPath)});
  if (echo_) *echo_ << '[' << ToUtf8(caption) << "] " << ToUtf8(previewPath) << '\n';
  ImageSaveChoice choice{u"jpg"};
  while (std::optional<Text> answer = NextAnswer(caption)) {
    if (*answer == u"ok") return choice;
    if (*answer == u"cancel") return std::nullopt;
    std::string field = ToUtf8(*answer);
    size_t equals = field.find('=');
    if (equals == std::string::npos ||
        !SetSheetField(choice, field.substr(0, equals), field.substr(equals + 1))) {
      Note("the image type sheet has no field answer '" + field + "'");
    }
  }
  return std::nullopt;
}

std::optional<Text> ScriptedUserInterface::ChooseSaveFile(TextView filter, TextView initialName) {
  saveDialogsShown_.push_back({Text(filter), Text(initialName)});
  if (echo_) *echo_ << "[Save As] " << ToUtf8(initialName) << '\n';
  std::optional<Text> answer = NextAnswer(u"Save As");
  if (!answer || *answer == u"cancel") return std::nullopt;
  return answer;
}

}  // namespace qorva
