// A modal dialog split in two: the presenter holds every rule and knows the dialog's
// items only by their ids; the view (a Win32 dialog, or a script of answers) shows the
// items and reports the user's actions. The user-interface port runs a presenter with a
// view of its own making.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace qorva {

class Bitmap;

enum class DialogKind {
  kImageProperty,       // the skinned image property dialog
  kImagePropertySheet,  // the same dialog as a property sheet of plain controls
  kImageResize,         // the skinned image resize dialog
  kImageTypeSheet,      // the image type sheet of a clipboard picture
  kPhotoEditor,         // the skinned photo editor with its canvas
};

enum class ItemKind {
  kEdit,     // text the user types
  kList,     // a drop-down list: its text is the selected entry
  kCheck,    // a check box, or a skinned button that switches between two pictures
  kButton,   // a push button
  kSpin,     // up and down arrows beside an edit
  kLabel,    // text shown, not typed
  kPicture,  // a picture shown, not changed by the user
};

// One item of a dialog, by the id its template gives it and the name a script uses.
struct DialogItem {
  int32_t id;
  std::string_view name;
  ItemKind kind;
};

class DialogView {
 public:
  virtual ~DialogView() = default;
  // Setting an edit's text notifies the presenter of the change, as a typed one would.
  virtual void SetText(int32_t id, TextView text) = 0;
  virtual Text GetText(int32_t id) = 0;
  // The entries of a list, and the one selected (none for -1).
  virtual void SetListItems(int32_t id, std::span<const TextView> items) = 0;
  virtual void SelectListItem(int32_t id, int32_t index) = 0;
  // A check box's mark, or a switch button's picture (true: its first picture).
  virtual void SetChecked(int32_t id, bool checked) = 0;
  virtual bool IsChecked(int32_t id) = 0;
  virtual void SetSpinPosition(int32_t id, int32_t position) = 0;
  // Shows the picture file at `path` in a picture item; "" or a file that cannot be read
  // leaves it empty.
  virtual void ShowPicture(int32_t /*id*/, TextView /*path*/) {}
  // Ends the modal run: true for OK.
  virtual void EndDialog(bool ok) = 0;

  // What only some dialogs use; a view without such items ignores them.
  // A disabled item shows its grey face and takes no clicks; a hidden one is not shown.
  virtual void EnableItem(int32_t /*id*/, bool /*enabled*/) {}
  virtual void ShowItem(int32_t /*id*/, bool /*shown*/) {}
  virtual void SetTooltip(int32_t /*id*/, TextView /*text*/) {}
  // A picture item paints `image` (null: nothing) at natural size from its top-left
  // corner over its background, and takes the keyboard focus. The presenter keeps the
  // image alive until the next call or the end of the dialog.
  virtual void ShowImage(int32_t /*id*/, const Bitmap* /*image*/) {}
};

class DialogPresenter {
 public:
  virtual ~DialogPresenter() = default;
  virtual DialogKind kind() const = 0;
  virtual std::span<const DialogItem> items() const = 0;
  // The dialog's items exist and are empty; the presenter fills them.
  virtual void OnOpen(DialogView& view) = 0;
  // An edit's text changed, typed or set.
  virtual void OnTextChanged(DialogView& view, int32_t id) = 0;
  // A button, check box or switch was pressed (a check box has already turned).
  virtual void OnClicked(DialogView& view, int32_t id) = 0;
  // An arrow of a spin was pressed; `up` for the upper one.
  virtual void OnSpin(DialogView& view, int32_t id, bool up) = 0;
  // The dialog's OK: a sheet's OK button, or the Enter key where the dialog takes it
  // (the skinned image property dialog swallows it and confirms by its own button).
  // The presenter ends the dialog itself when it accepts.
  virtual void OnOk(DialogView& view) = 0;
};

}  // namespace qorva
