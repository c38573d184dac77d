#include "images/image_property_dialog.h"

#include <array>
#include <filesystem>
#include <system_error>
#include <utility>

#include "images/size_sync.h"
#include "platform/user_interface.h"
#include "support/file_path.h"
#include "support/file_provenance.h"
#include "support/string_helpers.h"
#include "support/string_table.h"
#include "support/working_folder.h"

namespace qorva {

namespace {

constexpr TextView kAlignments[] = {u"default",  u"Left",   u"Right", u"Top",       u"Middle",
                                    u"Baseline", u"Bottom", u"Text",  u"absMiddle", u"absBottom"};
constexpr TextView kTargets[] = {u"blank", u"parent", u"self", u"top"};

constexpr int32_t kSizeSpinHighest = 4000;
constexpr int32_t kSpacingSpinHighest = 30;

constexpr uint32_t kMessageFileMissing = 5;
constexpr uint32_t kMessageNotAnImage = 6;
constexpr uint32_t kMessageNoDescription = 7;
constexpr uint32_t kMessageDescriptionRequired = 8;

constexpr DialogItem kCommonItems[] = {
    {kPropPath, "path", ItemKind::kEdit},
    {kPropBrowse, "browse", ItemKind::kButton},
    {kPropDescription, "description", ItemKind::kEdit},
    {kPropTitle, "title", ItemKind::kEdit},
    {kPropWidth, "width", ItemKind::kEdit},
    {kPropWidthSpin, "widthSpin", ItemKind::kSpin},
    {kPropOriginalSize, "originalSize", ItemKind::kButton},
    {kPropHeight, "height", ItemKind::kEdit},
    {kPropHeightSpin, "heightSpin", ItemKind::kSpin},
    {kPropAlign, "align", ItemKind::kList},
    {kPropBorder, "border", ItemKind::kEdit},
    {kPropBorderSpin, "borderSpin", ItemKind::kSpin},
    {kPropHspace, "hspace", ItemKind::kEdit},
    {kPropHspaceSpin, "hspaceSpin", ItemKind::kSpin},
    {kPropVspace, "vspace", ItemKind::kEdit},
    {kPropVspaceSpin, "vspaceSpin", ItemKind::kSpin},
    {kPropLinkAddress, "href", ItemKind::kEdit},
    {kPropLinkTitle, "linkTitle", ItemKind::kEdit},
    {kPropTarget, "target", ItemKind::kList},
    {kPropClearLink, "clearLink", ItemKind::kButton},
};

template <size_t N>
constexpr auto WithCommonItems(const DialogItem (&own)[N]) {
  std::array<DialogItem, std::size(kCommonItems) + N> all{};
  size_t i = 0;
  for (const DialogItem& item : kCommonItems) all[i++] = item;
  for (const DialogItem& item : own) all[i++] = item;
  return all;
}

constexpr DialogItem kSkinnedOwnItems[] = {
    {kPropKeepRatioButton, "keepRatio", ItemKind::kCheck},
    {kPropClose, "close", ItemKind::kButton},
    {kPropConfirm, "confirm", ItemKind::kButton},
    {kPropCancel, "cancel", ItemKind::kButton},
};
constexpr DialogItem kSheetOwnItems[] = {
    {kPropKeepRatioBox, "keepRatio", ItemKind::kCheck},
    {kPropFileSize, "fileSize", ItemKind::kLabel},
};
constexpr auto kSkinnedItems = WithCommonItems(kSkinnedOwnItems);
constexpr auto kSheetItems = WithCommonItems(kSheetOwnItems);

// The spin beside each number edit and the highest position it takes.
struct NumberField {
  int32_t edit;
  int32_t spin;
  int32_t highest;
  const char16_t* attribute;
};
constexpr NumberField kNumberFields[] = {
    {kPropWidth, kPropWidthSpin, kSizeSpinHighest, u"width"},
    {kPropHeight, kPropHeightSpin, kSizeSpinHighest, u"height"},
    {kPropBorder, kPropBorderSpin, kSpacingSpinHighest, u"border"},
    {kPropVspace, kPropVspaceSpin, kSpacingSpinHighest, u"vspace"},
    {kPropHspace, kPropHspaceSpin, kSpacingSpinHighest, u"hspace"},
};

const NumberField* FieldOfSpin(int32_t spin) {
  for (const NumberField& field : kNumberFields) {
    if (field.spin == spin) return &field;
  }
  return nullptr;
}

Text Decimal(int32_t value) { return FormatText("%d", value); }

Text Attribute(const ImageAttributes& attributes, TextView key) {
  auto found = attributes.find(Text(key));
  return found == attributes.end() ? Text() : found->second;
}

// " name="value"" with the value's double quotes escaped; "" for an empty value.
Text QuotedAttribute(TextView name, Text value) {
  if (value.empty()) return {};
  ReplaceAll(value, u"\"", u"&quot;");
  return u" " + Text(name) + u"=\"" + value + u"\"";
}

Text PlainAttribute(TextView name, TextView value) {
  return u" " + Text(name) + u"=\"" + Text(value) + u"\"";
}

template <size_t N>
int32_t IndexOf(const TextView (&list)[N], TextView value) {
  for (size_t i = 0; i < N; ++i) {
    if (list[i] == value) return static_cast<int32_t>(i);
  }
  return -1;
}

// The extension of the file itself: a dot in a folder name above it does not count, so
// the copy's name cannot climb out of the working folder.
Text FileExtension(TextView path) {
  size_t name = path.find_last_of(u"\\/");
  TextView fileName = name == TextView::npos ? path : path.substr(name + 1);
  Text extension = ExtractExtension(fileName);
  for (char16_t unit : extension) {
    if (unit == u':') return {};
  }
  return extension;
}

bool FileExists(TextView path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(PathFromText(path), error);
}

}  // namespace

ImageAttributes AttributesFromArgs(const ImagePropertyArgs& args) {
  ImageAttributes attributes;
  if (!args.src.empty()) {
    Text src = args.src;
    FileUrlToPath(src);
    attributes[u"src"] = src;
    attributes[u"width"] = args.width;
    attributes[u"height"] = args.height;
    attributes[u"border"] = args.border;
    attributes[u"align"] = args.align;
    attributes[u"vspace"] = args.vspace;
    attributes[u"hspace"] = args.hspace;
    attributes[u"title"] = args.title;
    attributes[u"alt"] = args.alt;
  }
  if (!args.href.empty()) {
    attributes[u"href"] = args.href;
    attributes[u"title2"] = args.title2;
    attributes[u"target"] = args.target;
  }
  return attributes;
}

CImagePropertyPresenter::CImagePropertyPresenter(ImagePropertyContext context, DialogKind look,
                                                 ImageAttributes attributes)
    : context_(std::move(context)), look_(look), attributes_(std::move(attributes)) {}

std::span<const DialogItem> CImagePropertyPresenter::items() const {
  if (Skinned()) return kSkinnedItems;
  return kSheetItems;
}

void CImagePropertyPresenter::Warn(TextView text, MessageIcon icon) {
  context_.userInterface.ShowMessageBox(text, context_.systemTitle, icon, MessageButtons::kOk);
}

void CImagePropertyPresenter::SetSpin(DialogView& view, int32_t spinId, int32_t position) {
  view.SetSpinPosition(spinId, position);
}

void CImagePropertyPresenter::SetNumber(DialogView& view, int32_t editId, int32_t value) {
  view.SetText(editId, Decimal(value));
}

void CImagePropertyPresenter::OnOpen(DialogView& view) {
  aspectRatio_ = 1.0f;
  syncState_ = -1;
  view.SetListItems(kPropAlign, kAlignments);
  view.SelectListItem(kPropAlign, 0);
  view.SetListItems(kPropTarget, kTargets);
  view.SelectListItem(kPropTarget, 0);
  for (const NumberField& field : kNumberFields) SetSpin(view, field.spin, 0);
  keepRatio_ = true;
  view.SetChecked(KeepRatioId(), true);

  Text src = Attribute(attributes_, u"src");
  ReplaceAll(src, u"file:///", u"");
  if (FileExists(src)) {
    if (!CheckImageFile(view, src, false)) return;
    view.SetText(kPropPath, src);
  }

  int32_t numbers[std::size(kNumberFields)] = {};
  for (size_t i = 0; i < std::size(kNumberFields); ++i) {
    const NumberField& field = kNumberFields[i];
    Text value = Attribute(attributes_, field.attribute);
    if (value.empty()) continue;
    numbers[i] = LeadingNumber(value);
    SetNumber(view, field.edit, numbers[i]);
    SetSpin(view, field.spin, numbers[i]);
  }
  if (numbers[0] > 0 && numbers[1] > 0) {
    syncState_ = 0;
    aspectRatio_ = AspectRatioOf(numbers[0], numbers[1]);
  }

  view.SetText(kPropTitle, Attribute(attributes_, u"title"));
  view.SetText(kPropDescription, Attribute(attributes_, u"alt"));
  view.SetText(kPropLinkAddress, Attribute(attributes_, u"href"));
  view.SetText(kPropLinkTitle, Attribute(attributes_, u"title2"));
  Text align = Attribute(attributes_, u"align");
  if (int32_t index = IndexOf(kAlignments, align); index >= 0) {
    view.SelectListItem(kPropAlign, index);
  }
  Text target = Attribute(attributes_, u"target");
  if (int32_t index = IndexOf(kTargets, target); index >= 0) {
    view.SelectListItem(kPropTarget, index);
  }
}

bool CImagePropertyPresenter::CheckImageFile(DialogView& view, const Text& path, bool updateSize) {
  if (!FileExists(path)) {
    if (path.empty()) return false;
    Text text = LoadResourceText(context_.system, kMessageFileMissing);
    ReplaceAll(text, u"%s", path);
    Warn(text, MessageIcon::kWarning);
    return false;
  }
  ImageDecodeResult decoded = LoadImageFile(context_.imageCodec, path);
  if (!decoded.image) {
    Warn(LoadResourceText(context_.system, kMessageNotAnImage), MessageIcon::kWarning);
    return false;
  }
  if (updateSize) {
    ImageSize fitted =
        FitToDefaultSize(decoded.image->width(), decoded.image->height(), context_.defaultSize);
    auto width = static_cast<int32_t>(fitted.width);
    auto height = static_cast<int32_t>(fitted.height);
    SetNumber(view, kPropWidth, width);
    SetNumber(view, kPropHeight, height);
    SetSpin(view, kPropWidthSpin, width);
    SetSpin(view, kPropHeightSpin, height);
    if (width != 0 && height != 0) aspectRatio_ = AspectRatioOf(width, height);
  }
  if (!Skinned()) view.SetText(kPropFileSize, FileSizeText(FileSizeOf(path)));
  return true;
}

void CImagePropertyPresenter::OnTextChanged(DialogView& view, int32_t id) {
  const bool widthChanged = id == kPropWidth;
  if (!widthChanged && id != kPropHeight) return;
  const int busyOther = widthChanged ? 2 : 1;
  if (syncState_ == -1 || syncState_ == busyOther || !(aspectRatio_ > 0.0f)) return;
  Text width = view.GetText(kPropWidth);
  Text height = view.GetText(kPropHeight);
  if (keepRatio_ && !width.empty() && !height.empty()) {
    syncState_ = widthChanged ? 1 : 2;
    if (widthChanged) {
      int32_t newHeight = HeightForWidth(LeadingNumber(width), aspectRatio_);
      SetNumber(view, kPropHeight, newHeight);
      SetSpin(view, kPropHeightSpin, newHeight);
    } else {
      int32_t newWidth = WidthForHeight(LeadingNumber(height), aspectRatio_);
      SetNumber(view, kPropWidth, newWidth);
      SetSpin(view, kPropWidthSpin, newWidth);
    }
    syncState_ = 0;
  }
  if (widthChanged) {
    SetSpin(view, kPropWidthSpin, LeadingNumber(view.GetText(kPropWidth)));
  } else {
    SetSpin(view, kPropHeightSpin, LeadingNumber(view.GetText(kPropHeight)));
  }
}

void CImagePropertyPresenter::OnSpin(DialogView& view, int32_t id, bool up) {
  const NumberField* field = FieldOfSpin(id);
  if (!field) return;
  // The arrows count from the number in the edit beside them, typed or not.
  int32_t position = LeadingNumber(view.GetText(field->edit));
  if (!SpinAccepts(position, up, 0, field->highest)) return;
  position += up ? 1 : -1;
  SetSpin(view, id, position);
  SetNumber(view, field->edit, position);
}

void CImagePropertyPresenter::Browse(DialogView& view) {
  UserInterface::OpenFileRequest request;
  if (context_.openDialogType != 0) {
    request.style = UserInterface::OpenStyle::kOld;
    request.filter = u"Images File|*.gif;*.jpg;*.jpeg;*.png;*.bmp||";
  } else {
    request.filter =
        u"Image Files (*.gif;*.jpg;*.jpeg;*.png;*.bmp)|*.gif;*.jpg;*.jpeg;*.png;*.bmp||";
  }
  request.initialFolder = context_.openDialogInitDir;
  request.title = context_.openDialogTitle;
  std::optional<Text> chosen = context_.userInterface.ChooseOpenFile(request);
  if (!chosen || chosen->empty()) return;
  // The user picked this file, so page script may have it sent or embedded later.
  RememberUserChosenFile(*chosen);
  syncState_ = -1;
  if (CheckImageFile(view, *chosen, true)) view.SetText(kPropPath, *chosen);
  syncState_ = 0;
}

void CImagePropertyPresenter::OnClicked(DialogView& view, int32_t id) {
  if (id == KeepRatioId()) {
    // The skinned switch flips its pictures; the sheet's box has turned itself.
    keepRatio_ = Skinned() ? !keepRatio_ : view.IsChecked(id);
    if (Skinned()) view.SetChecked(id, keepRatio_);
    return;
  }
  switch (id) {
    case kPropBrowse:
      Browse(view);
      return;
    case kPropOriginalSize:
      syncState_ = -1;
      CheckImageFile(view, view.GetText(kPropPath), true);
      syncState_ = 0;
      return;
    case kPropClearLink:
      view.SetText(kPropLinkAddress, u"");
      view.SetText(kPropLinkTitle, u"");
      view.SelectListItem(kPropTarget, 0);
      return;
    default:
      break;
  }
  if (!Skinned()) return;
  if (id == kPropConfirm) {
    OnOk(view);
  } else if (id == kPropClose || id == kPropCancel) {
    view.EndDialog(false);
  }
}

void CImagePropertyPresenter::OnOk(DialogView& view) {
  if (BuildImageHtml(view)) view.EndDialog(true);
}

Text CImagePropertyPresenter::CopyIntoWorkingFolder(const Text& path) {
  Text folder = WorkingFolderPath(kWorkingFolderName);
  if (Contains(path, folder)) return path;
  Text copy = folder + NewUniqueName(context_.system) + u"." + FileExtension(path);
  std::error_code error;
  std::filesystem::copy_file(PathFromText(path), PathFromText(copy),
                             std::filesystem::copy_options::overwrite_existing, error);
  // A failed copy would leave the element pointing at nothing: keep the picture where
  // the user found it instead.
  return error ? path : copy;
}

bool CImagePropertyPresenter::BuildImageHtml(DialogView& view) {
  succeeded_ = false;
  Text path = view.GetText(kPropPath);
  Text title = view.GetText(kPropTitle);
  Text description = view.GetText(kPropDescription);
  Text width = view.GetText(kPropWidth);
  Text height = view.GetText(kPropHeight);
  Text border = view.GetText(kPropBorder);
  Text align = view.GetText(kPropAlign);
  Text vspace = view.GetText(kPropVspace);
  Text hspace = view.GetText(kPropHspace);
  if (!CheckImageFile(view, path, false)) return false;
  if (description.empty()) {
    if (context_.accessibility == u"1") {
      Warn(LoadResourceText(context_.system, kMessageNoDescription), MessageIcon::kQuestion);
    } else if (context_.accessibility == u"2") {
      Warn(LoadResourceText(context_.system, kMessageDescriptionRequired), MessageIcon::kError);
      return false;
    }
  }
  path = CopyIntoWorkingFolder(path);
  succeeded_ = true;

  Text attributes = QuotedAttribute(u"title", title) + QuotedAttribute(u"alt", description) +
                    PlainAttribute(u"border", border);
  if (align != u"default") attributes += PlainAttribute(u"align", align);
  if (!vspace.empty()) attributes += PlainAttribute(u"vspace", vspace);
  if (!hspace.empty()) attributes += PlainAttribute(u"hspace", hspace);
  ReplaceAll(path, u"\\", u"/");
  Text fragment = u"<img style=\"width:" + width + u"px; height:" + height + u"px\"" + attributes +
                  u" src=\"file:///" + path + u"\" />";

  Text address = view.GetText(kPropLinkAddress);
  if (!address.empty()) {
    Text linkTitle = QuotedAttribute(u"title", view.GetText(kPropLinkTitle));
    Text anchor = u"<a " + linkTitle + u" target=\"" + view.GetText(kPropTarget) + u"\" href=\"" +
                  address + u"\">";
    fragment = anchor + u"\n" + fragment + u"\n</a>";
  }
  resultHtml_ = fragment;
  return true;
}

}  // namespace qorva
