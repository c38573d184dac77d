#include "control/dispatch_table.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <tuple>
#include <utility>

#include "control/bridge_methods.h"
#include "control/control_parameters.h"
#include "control/image_property_methods.h"
#include "control/mime_methods.h"
#include "control/output_methods.h"
#include "control/paste_methods.h"
#include "control/photo_edit_methods.h"
#include "control/qorvaeditor_ctrl.h"
#include "control/transfer_methods.h"
#include "paste/inline_images.h"
#include "platform/user_interface.h"

namespace qorva {

namespace {

constexpr uint32_t kMessageNotInContainer = 15;
constexpr uint32_t kMessageContainerOnly = 16;

using C = CQorvaeditorCtrl;

// A handler's result and its argument types after the control, from its signature.
template <typename F>
struct Signature;
template <typename R, typename... A>
struct Signature<R (*)(C&, A...)> {
  using Result = R;
  using Args = std::tuple<std::remove_cvref_t<A>...>;
};
template <typename R, typename... A>
struct Signature<R (C::*)(A...)> : Signature<R (*)(C&, A...)> {};

template <auto Fn, size_t... I>
Variant CallBound(C& control, std::span<const Variant> args, std::index_sequence<I...>) {
  using Sig = Signature<decltype(Fn)>;
  if constexpr (std::is_void_v<typename Sig::Result>) {
    std::invoke(Fn, control, FromVariant<std::tuple_element_t<I, typename Sig::Args>>(args[I])...);
    return Variant::Empty();
  } else {
    return ToVariant(std::invoke(
        Fn, control, FromVariant<std::tuple_element_t<I, typename Sig::Args>>(args[I])...));
  }
}

// Unpacks the arguments, already coerced to the declared types, into `Fn`'s parameters.
template <auto Fn>
Variant Bound(C& control, std::span<const Variant> args) {
  using Args = typename Signature<decltype(Fn)>::Args;
  return CallBound<Fn>(control, args, std::make_index_sequence<std::tuple_size_v<Args>>{});
}

template <typename Args, size_t... I>
std::vector<DispatchArg> ArgumentList([[maybe_unused]] std::span<const std::string_view> names,
                                      std::index_sequence<I...>) {
  return {DispatchArg{names[I], TypeOf<std::tuple_element_t<I, Args>>()}...};
}

// A built method: its argument and result types come from `Fn`'s signature, and there
// is one name for each argument.
template <auto Fn>
DispatchEntry BoundMethod(std::string_view name, int32_t id, Guard guard,
                          std::span<const std::string_view> argNames) {
  using Sig = Signature<decltype(Fn)>;
  using Args = typename Sig::Args;
  constexpr size_t kArity = std::tuple_size_v<Args>;
  DispatchEntry entry{name, id, MemberKind::kMethod, TypeOf<typename Sig::Result>(),
                      ArgumentList<Args>(argNames, std::make_index_sequence<kArity>{})};
  entry.guard = guard;
  entry.call = &Bound<Fn>;
  return entry;
}

template <auto Fn, size_t N>
DispatchEntry Method(std::string_view name, int32_t id, Guard guard,
                     const std::string_view (&argNames)[N]) {
  static_assert(std::tuple_size_v<typename Signature<decltype(Fn)>::Args> == N,
                "one name for each argument");
  return BoundMethod<Fn>(name, id, guard, argNames);
}

template <auto Fn>
DispatchEntry Method(std::string_view name, int32_t id, Guard guard) {
  static_assert(std::tuple_size_v<typename Signature<decltype(Fn)>::Args> == 0,
                "arguments need their names");
  return BoundMethod<Fn>(name, id, guard, {});
}

// A method that shows the wait cursor while it runs.
DispatchEntry Slow(DispatchEntry entry) {
  entry.cursor = Cursor::kWait;
  return entry;
}

// A method that runs without making sure of the control's window first.
DispatchEntry WindowFree(DispatchEntry entry) {
  entry.windowCheck = WindowCheck::kNo;
  return entry;
}

DispatchEntry PropertyOf(const ControlParameter& parameter) {
  DispatchEntry entry{
      parameter.name, parameter.dispatchId, MemberKind::kProperty, parameter.type, {}};
  entry.windowCheck = WindowCheck::kNo;  // accessors make sure of the window themselves
  entry.get = parameter.get;
  entry.put = parameter.put;
  return entry;
}

constexpr Guard A = Guard::kNotInContainer;
constexpr Guard B = Guard::kContainerOnly;
constexpr Guard Free = Guard::kNone;

uint32_t HtmlFormatFromType(C& c) { return c.pasteSourceType; }
Text PasteHtmlEx(C& c) { return c.lastPasteHtml; }
Text LocalImageFromBase64(C& c, TextView strBase64, TextView strExt) {
  return SaveBase64Image(c.platform().system, strBase64, strExt);
}

std::vector<DispatchEntry> BuildTable() {
  std::vector<DispatchEntry> table;
  // The parameters are the properties, listed by dispatch id.
  for (const ControlParameter& parameter : ControlParameters()) {
    if (parameter.dispatchId == kNoDispatchId) continue;
    table.push_back(PropertyOf(parameter));
  }
  std::ranges::sort(table, {}, &DispatchEntry::id);

  DispatchEntry methods[] = {
      Slow(Method<&ReadClipboardForPaste>("getPasteHtml", 10, A)),
      Slow(Method<&PostImageToServerFor>("postImageToServer", 11, A, {"strLocalPath"})),
      Method<&C::setQorvaInit>("setQorvaInit", 12, Free),
      Method<&SetScreenCapture>("setScreenCapture", 13, Free, {"nAutoParam"}),
      Method<&ShowImageProperty>("showImageProperty", 14, A,
                                 {"src", "width", "height", "border", "align", "vspace", "hspace",
                                  "title", "alt", "title2", "href", "target"}),
      Slow(Method<&EncodeMineFor>("QorvaEncodeMine", 16, A, {"strHtml", "nFileNameType"})),
      Method<&C::SetToSavePathURL>("SetToSavePathURL", 20, A, {"strPathUrl"}),
      Method<&C::SetFolderNameRule>("SetFolderNameRule", 21, A, {"strNameRule"}),
      Method<&C::SetImagePropMode>("SetImagePropMode", 22, A, {"nMode"}),
      Method<&C::SetServerDomain>("SetServerDomain", 23, A, {"strDomain"}),
      Method<&DoPrintPreview>("doPrintPreview", 24, A, {"strHeader", "strFooter", "strURL"}),
      Method<&DoPrintDirect>("doPrintDirect", 25, A, {"strHeader", "strFooter", "strURL"}),
      Method<&DoSaveHtml>("doSaveHTML", 26, A,
                          {"strHtml", "strDefaultFileName", "strCharSet", "strURL"}),
      Method<&GetImageWidthHeight>("getImageWidthHeight", 27, A, {"strFilePathName"}),
      Slow(Method<&EncodeMimeFor>("QorvaEncodeMime", 28, A, {"strHtml", "nFileNameType"})),
      // Unlike the encoders, the decoder works in container mode too.
      Slow(Method<&DecodeMimeFor>("QorvaDecodeMime", 29, Free, {"strMime"})),
      Method<&C::getQorvaPluginVersion>("getQorvaPluginVersion", 31, A),
      Method<&MimeSetListInit>("mimeSetListInit", 39, A),
      Method<&MimeAddEncodingFile>("mimeAddEncodingFile", 40, A, {"strPathorURL", "nType"}),
      Method<&QorvaGetMethod>("QORVAGetMethod", 43, B, {"strFunctionName"}),
      Method<&QorvaSetMethod>("QORVASetMethod", 44, B, {"strFunctionName", "strValue1"}),
      Method<&QorvaSetMethod2>("QORVASetMethod2", 45, B,
                               {"strFunctionName", "strValue1", "strValue2"}),
      Method<&QorvaSetMethod3>("QORVASetMethod3", 46, B,
                               {"strFunctionName", "strValue1", "strValue2", "strValue3"}),
      Method<&HtmlFormatFromType>("getHTMLFormatFromType", 56, Free),
      Slow(Method<&PasteHtmlEx>("getPasteHtmlEx", 57, Free)),
      Method<&LocalImageFromBase64>("getLocalImageFromBase64Image", 60, Free,
                                    {"strBase64", "strExt"}),
      Method<&CanPasteImageFromClipboard>("canPasteImageFromClipBoard", 61, Free),
      Method<&ShowImageSaveDlgFromClipboard>("ShowImageSaveDlgFromClipboard", 62, Free,
                                             {"strSaveType"}),
      WindowFree(Method<&GetOriginalHtml>("getOriginalHtml", 64, Free, {"strTag"})),
  };
  for (DispatchEntry& method : methods) table.push_back(std::move(method));
  return table;
}

InvokeResult InvokeProperty(CQorvaeditorCtrl& control, const DispatchEntry& entry, uint16_t flags,
                            std::span<const Variant> args) {
  if (flags & kInvokePropertyPut) {
    if (args.size() != 1) return {DispatchStatus::kBadParamCount, {}};
    Coercion coerced = Coerce(args[0], entry.type);
    if (coerced.status != DispatchStatus::kOk) return {coerced.status, {}, 0};
    if (control.PageMayDrive()) entry.put(control, coerced.value);
    return {};
  }
  if (!(flags & (kInvokePropertyGet | kInvokeMethod))) return {DispatchStatus::kMemberNotFound, {}};
  if (!args.empty()) return {DispatchStatus::kBadParamCount, {}};
  if (!control.PageMayDrive()) return {DispatchStatus::kOk, FailureValue(entry.type)};
  return {DispatchStatus::kOk, entry.get(control)};
}

}  // namespace

std::span<const DispatchEntry> DispatchTable() {
  static const std::vector<DispatchEntry> table = BuildTable();
  return table;
}

const DispatchEntry* FindDispatchEntry(std::u16string_view name) {
  for (const DispatchEntry& entry : DispatchTable()) {
    if (EqualsIgnoreCase(Widen(entry.name), name)) return &entry;
  }
  return nullptr;
}

const DispatchEntry* FindDispatchEntry(int32_t id) {
  for (const DispatchEntry& entry : DispatchTable()) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

InvokeResult Invoke(CQorvaeditorCtrl& control, int32_t id, uint16_t flags,
                    std::span<const Variant> args) {
  const DispatchEntry* entry = FindDispatchEntry(id);
  if (!entry) return {DispatchStatus::kMemberNotFound, {}};
  if (entry->kind == MemberKind::kProperty) return InvokeProperty(control, *entry, flags, args);

  if (!(flags & (kInvokeMethod | kInvokePropertyGet))) return {DispatchStatus::kMemberNotFound, {}};
  if (args.size() != entry->args.size()) return {DispatchStatus::kBadParamCount, {}};
  std::vector<Variant> coerced;
  coerced.reserve(args.size());
  for (size_t i = 0; i < args.size(); ++i) {
    Coercion one = Coerce(args[i], entry->args[i].type);
    if (one.status != DispatchStatus::kOk) return {one.status, {}, static_cast<uint32_t>(i)};
    coerced.push_back(std::move(one.value));
  }

  if (!control.PageMayDrive()) return {DispatchStatus::kOk, FailureValue(entry->type)};
  if (entry->windowCheck == WindowCheck::kYes) control.EnsureWindow();
  if (entry->guard == Guard::kNotInContainer && control.InContainerMode()) {
    control.ShowResourceMessage(kMessageNotInContainer);
    return {DispatchStatus::kOk, FailureValue(entry->type)};
  }
  if (entry->guard == Guard::kContainerOnly && !control.InContainerMode()) {
    control.ShowResourceMessage(kMessageContainerOnly);
    return {DispatchStatus::kOk, FailureValue(entry->type)};
  }
  if (!entry->call) return {DispatchStatus::kOk, FailureValue(entry->type)};
  std::optional<WaitCursor> wait;
  if (entry->cursor == Cursor::kWait) wait.emplace(control.platform().userInterface);
  return {DispatchStatus::kOk, entry->call(control, coerced)};
}

std::string_view ValueTypeName(ValueType type) {
  switch (type) {
    case ValueType::kString:
      return "string";
    case ValueType::kInt:
      return "int";
    case ValueType::kUint:
      return "uint";
    case ValueType::kNone:
      break;
  }
  return "none";
}

std::string_view GuardName(Guard guard) {
  switch (guard) {
    case Guard::kNotInContainer:
      return "A";
    case Guard::kContainerOnly:
      return "B";
    case Guard::kNone:
      break;
  }
  return "-";
}

}  // namespace qorva
