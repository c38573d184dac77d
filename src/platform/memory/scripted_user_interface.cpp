#include "platform/memory/scripted_user_interface.h"

#include <charconv>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "images/image_type_sheet.h"
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

const char* DialogName(DialogKind kind) {
  switch (kind) {
    case DialogKind::kImageProperty:
      return "image property dialog";
    case DialogKind::kImagePropertySheet:
      return "image property sheet";
    case DialogKind::kImageResize:
      return "image resize dialog";
    case DialogKind::kImageTypeSheet:
      return "image type sheet";
    case DialogKind::kPhotoEditor:
      return "photo editor";
  }
  return "dialog";
}

// The dialog's items held as texts, as a window's controls would hold them; an edit
// whose text is set tells the presenter, as a typed change does.
class ScriptedDialogView final : public DialogView {
 public:
  // `answers` are the user interface's: a button that opens another dialog may put that
  // dialog's answers first.
  ScriptedDialogView(DialogPresenter& presenter, std::deque<Text>& answers)
      : presenter_(presenter), answers_(answers) {
    for (const DialogItem& item : presenter.items()) items_[item.id] = {item.kind, {}, {}, -1, 0};
  }

  void SetText(int32_t id, TextView text) override {
    Item* item = Find(id);
    if (!item) return;
    if (item->kind == ItemKind::kList) {
      SelectEqual(*item, text);
      return;
    }
    item->text = text;
    if (item->kind == ItemKind::kEdit) presenter_.OnTextChanged(*this, id);
  }
  Text GetText(int32_t id) override {
    Item* item = Find(id);
    if (!item) return {};
    if (item->kind != ItemKind::kList) return item->text;
    if (item->selected < 0 || static_cast<size_t>(item->selected) >= item->entries.size()) {
      return {};
    }
    return item->entries[static_cast<size_t>(item->selected)];
  }
  void SetListItems(int32_t id, std::span<const TextView> entries) override {
    if (Item* item = Find(id)) item->entries.assign(entries.begin(), entries.end());
  }
  void SelectListItem(int32_t id, int32_t index) override {
    if (Item* item = Find(id)) item->selected = index;
  }
  void SetChecked(int32_t id, bool checked) override {
    if (Item* item = Find(id)) item->number = checked ? 1 : 0;
  }
  bool IsChecked(int32_t id) override {
    Item* item = Find(id);
    return item && item->number != 0;
  }
  void SetSpinPosition(int32_t id, int32_t position) override {
    if (Item* item = Find(id)) item->number = position;
  }
  void EndDialog(bool ok) override {
    ended_ = true;
    ok_ = ok;
  }
  void EnableItem(int32_t id, bool enabled) override {
    if (Item* item = Find(id)) item->enabled = enabled;
  }
  void ShowItem(int32_t id, bool shown) override {
    if (Item* item = Find(id)) item->shown = shown;
  }

  bool ended() const { return ended_; }
  bool ok() const { return ok_; }

  // Plays one answer; false when the dialog has no such item or the value does not fit.
  bool Play(const std::string& answer) {
    if (answer == "ok") {
      presenter_.OnOk(*this);
      return true;
    }
    if (answer == "cancel") {
      EndDialog(false);
      return true;
    }
    size_t equals = answer.find('=');
    std::string name = answer.substr(0, equals);
    const DialogItem* item = ItemNamed(name);
    if (!item) return false;
    // A grey or hidden item takes no clicks and no typing: the answer is spent on nothing.
    if (!Find(item->id)->enabled || !Find(item->id)->shown) return true;
    if (equals != std::string::npos && item->kind == ItemKind::kButton) {
      const size_t before = answers_.size();
      if (!AnswerAhead(name, answer.substr(equals + 1))) return false;
      const size_t ahead = answers_.size() - before;
      presenter_.OnClicked(*this, item->id);
      // No dialog opened (nothing to resize, say): its answers go with the press.
      if (answers_.size() == before + ahead) {
        answers_.erase(answers_.begin(), answers_.begin() + static_cast<std::ptrdiff_t>(ahead));
      }
      return true;
    }
    if (equals == std::string::npos) {
      if (item->kind != ItemKind::kButton && item->kind != ItemKind::kCheck) return false;
      if (item->kind == ItemKind::kCheck && !SwitchesItself()) {
        presenter_.OnClicked(*this, item->id);
        return true;
      }
      if (item->kind == ItemKind::kCheck) SetChecked(item->id, !IsChecked(item->id));
      presenter_.OnClicked(*this, item->id);
      return true;
    }
    Text value = FromUtf8(answer.substr(equals + 1));
    switch (item->kind) {
      case ItemKind::kEdit:
        SetText(item->id, value);
        return true;
      case ItemKind::kList:
        return SelectEqual(*Find(item->id), value);
      case ItemKind::kSpin:
        if (value != u"up" && value != u"down") return false;
        presenter_.OnSpin(*this, item->id, value == u"up");
        return true;
      default:
        return false;
    }
  }

  std::vector<std::pair<std::string, Text>> Texts() {
    std::vector<std::pair<std::string, Text>> texts;
    for (const DialogItem& item : presenter_.items()) {
      Text text = GetText(item.id);
      if (item.kind == ItemKind::kCheck) text = IsChecked(item.id) ? u"on" : u"off";
      if (item.kind == ItemKind::kSpin) text = FormatText("%d", Find(item.id)->number);
      texts.emplace_back(std::string(item.name), text);
    }
    return texts;
  }

 private:
  struct Item {
    ItemKind kind;
    Text text;
    std::vector<Text> entries;
    int32_t selected;
    int32_t number;  // a check's mark or a spin's position
    bool enabled = true;
    bool shown = true;
  };

  // The photo editor's "open=PATH" and "resize=WxH": the answers of the dialog the
  // button opens, put before the rest; false for any other button or a bad size.
  bool AnswerAhead(const std::string& button, const std::string& value) {
    if (presenter_.kind() != DialogKind::kPhotoEditor) return false;
    if (button == "open") {
      answers_.push_front(FromUtf8(value));
      return true;
    }
    if (button != "resize") return false;
    std::optional<std::pair<int32_t, int32_t>> size = ParseSizeAnswer(value);
    if (!size) return false;
    // The resize dialog keeps the proportions until its switch is turned off.
    const Text ahead[] = {u"keepRatio", FormatText("width=%d", size->first),
                          FormatText("height=%d", size->second), u"apply"};
    answers_.insert(answers_.begin(), std::begin(ahead), std::end(ahead));
    return true;
  }

  Item* Find(int32_t id) {
    auto found = items_.find(id);
    return found == items_.end() ? nullptr : &found->second;
  }
  const DialogItem* ItemNamed(std::string_view name) const {
    for (const DialogItem& item : presenter_.items()) {
      if (item.name == name) return &item;
    }
    return nullptr;
  }
  // A plain check box turns before its owner hears of the click; a skinned switch is
  // turned by its owner.
  // The plain controls of a sheet turn themselves; a skinned switch waits for its presenter.
  bool SwitchesItself() const {
    return presenter_.kind() == DialogKind::kImagePropertySheet ||
           presenter_.kind() == DialogKind::kImageTypeSheet;
  }
  static bool SelectEqual(Item& item, TextView text) {
    for (size_t i = 0; i < item.entries.size(); ++i) {
      if (item.entries[i] == text) {
        item.selected = static_cast<int32_t>(i);
        return true;
      }
    }
    return false;
  }

  DialogPresenter& presenter_;
  std::deque<Text>& answers_;
  std::map<int32_t, Item> items_;
  bool ended_ = false;
  bool ok_ = false;
};

}  // namespace

std::optional<std::pair<int32_t, int32_t>> ParseSizeAnswer(std::string_view text) {
  size_t cross = text.find_first_of("xX");
  if (cross == std::string_view::npos) return std::nullopt;
  auto number = [](std::string_view digits) -> std::optional<int32_t> {
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') return std::nullopt;
    int32_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
  };
  std::optional<int32_t> width = number(text.substr(0, cross));
  std::optional<int32_t> height = number(text.substr(cross + 1));
  if (!width || !height) return std::nullopt;
  return std::pair{*width, *height};
}

Text ScriptedUserInterface::DialogShown::TextOf(std::string_view name) const {
  for (const auto& [itemName, text] : finalTexts) {
    if (itemName == name) return text;
  }
  return {};
}

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
    if (*answer == u"ok") {
      // The sheet's OK holds the typed quality inside the range its spin allows.
      choice.quality = ClampQuality(choice.quality);
      return choice;
    }
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

namespace qorva {

std::optional<Text> ScriptedUserInterface::ChooseOpenFile(const OpenFileRequest& request) {
  openDialogsShown_.push_back(request);
  if (echo_) *echo_ << "[Open] " << ToUtf8(request.filter) << '\n';
  std::optional<Text> answer = NextAnswer(u"Open");
  if (!answer || *answer == u"cancel") return std::nullopt;
  return answer;
}

bool ScriptedUserInterface::RunDialog(DialogPresenter& presenter) {
  const char* name = DialogName(presenter.kind());
  if (echo_) *echo_ << '[' << name << "] opened\n";
  ScriptedDialogView view(presenter, answers_);
  presenter.OnOpen(view);
  while (!view.ended()) {
    std::optional<Text> answer = NextAnswer(FromUtf8(name));
    if (!answer) break;
    std::string played = ToUtf8(*answer);
    if (!view.Play(played)) Note(std::string("the ") + name + " has no answer '" + played + "'");
  }
  dialogsShown_.push_back({presenter.kind(), view.Texts(), view.ended() && view.ok()});
  return dialogsShown_.back().ok;
}

}  // namespace qorva
