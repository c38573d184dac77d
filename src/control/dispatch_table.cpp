#include "control/dispatch_table.h"

#include <array>
#include <optional>
#include <type_traits>
#include <vector>

#include "control/qorvaeditor_ctrl.h"
#include "mime/mime_methods.h"
#include "paste/clipboard_images.h"
#include "paste/clipboard_paste.h"
#include "paste/inline_images.h"
#include "platform/user_interface.h"
#include "transfer/upload.h"

namespace qorva {

namespace {

constexpr uint32_t kMessageNotInContainer = 15;
constexpr uint32_t kMessageContainerOnly = 16;

template <typename T>
constexpr ValueType TypeOf() {
  if constexpr (std::is_same_v<T, Text>) return ValueType::kString;
  if constexpr (std::is_same_v<T, int32_t>) return ValueType::kInt;
  if constexpr (std::is_same_v<T, uint32_t>) return ValueType::kUint;
}

Variant ToVariant(const Text& value) { return Variant::String(value); }
Variant ToVariant(int32_t value) { return Variant::Int(value); }
Variant ToVariant(uint32_t value) { return Variant::Uint(value); }

void Assign(Text& member, const Variant& value) { member = value.text; }
void Assign(int32_t& member, const Variant& value) { member = value.i4; }
void Assign(uint32_t& member, const Variant& value) { member = value.ui4; }

template <auto Member>
Variant GetMember(CQorvaeditorCtrl& control) {
  return ToVariant(control.*Member);
}

template <auto Member>
void PutMember(CQorvaeditorCtrl& control, const Variant& value) {
  Assign(control.*Member, value);
}

// A property that is a plain field: reading returns it, writing replaces it.
template <auto Member>
DispatchEntry MemberProperty(std::string_view name, int32_t id) {
  using T = std::remove_cvref_t<decltype(std::declval<CQorvaeditorCtrl&>().*Member)>;
  DispatchEntry entry{name, id, MemberKind::kProperty, TypeOf<T>(), {}};
  entry.windowCheck = WindowCheck::kNo;
  entry.get = &GetMember<Member>;
  entry.put = &PutMember<Member>;
  return entry;
}

DispatchEntry AccessorProperty(std::string_view name, int32_t id, ValueType type,
                               PropertyGetter get, PropertySetter put) {
  DispatchEntry entry{name, id, MemberKind::kProperty, type, {}};
  entry.windowCheck = WindowCheck::kNo;  // the accessors make sure of the window themselves
  entry.get = get;
  entry.put = put;
  return entry;
}

DispatchEntry Method(std::string_view name, int32_t id, std::span<const DispatchArg> args,
                     ValueType result, Guard guard, MethodHandler call = nullptr) {
  DispatchEntry entry{name, id, MemberKind::kMethod, result, args};
  entry.guard = guard;
  entry.call = call;
  return entry;
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

constexpr ValueType S = ValueType::kString;
constexpr ValueType I = ValueType::kInt;
constexpr ValueType U = ValueType::kUint;
constexpr ValueType None = ValueType::kNone;
constexpr Guard A = Guard::kNotInContainer;
constexpr Guard B = Guard::kContainerOnly;
constexpr Guard Free = Guard::kNone;

constexpr std::span<const DispatchArg> kNoArgs;
constexpr DispatchArg kLocalPath[] = {{"strLocalPath", S}};
constexpr DispatchArg kAutoParam[] = {{"nAutoParam", I}};
constexpr DispatchArg kImageProperty[] = {
    {"src", S},    {"width", S}, {"height", S}, {"border", S}, {"align", S}, {"vspace", S},
    {"hspace", S}, {"title", S}, {"alt", S},    {"title2", S}, {"href", S},  {"target", S}};
constexpr DispatchArg kHtmlAndNameType[] = {{"strHtml", S}, {"nFileNameType", I}};
constexpr DispatchArg kPathUrl[] = {{"strPathUrl", S}};
constexpr DispatchArg kNameRule[] = {{"strNameRule", S}};
constexpr DispatchArg kMode[] = {{"nMode", U}};
constexpr DispatchArg kDomain[] = {{"strDomain", S}};
constexpr DispatchArg kPrint[] = {{"strHeader", S}, {"strFooter", S}, {"strURL", S}};
constexpr DispatchArg kSaveHtml[] = {
    {"strHtml", S}, {"strDefaultFileName", S}, {"strCharSet", S}, {"strURL", S}};
constexpr DispatchArg kFilePathName[] = {{"strFilePathName", S}};
constexpr DispatchArg kMime[] = {{"strMime", S}};
constexpr DispatchArg kPathOrUrlAndType[] = {{"strPathorURL", S}, {"nType", I}};
constexpr DispatchArg kFunction[] = {{"strFunctionName", S}};
constexpr DispatchArg kFunction1[] = {{"strFunctionName", S}, {"strValue1", S}};
constexpr DispatchArg kFunction2[] = {{"strFunctionName", S}, {"strValue1", S}, {"strValue2", S}};
constexpr DispatchArg kFunction3[] = {
    {"strFunctionName", S}, {"strValue1", S}, {"strValue2", S}, {"strValue3", S}};
constexpr DispatchArg kBase64[] = {{"strBase64", S}, {"strExt", S}};
constexpr DispatchArg kSaveType[] = {{"strSaveType", S}};
constexpr DispatchArg kTag[] = {{"strTag", S}};

Variant Nothing() { return Variant::Empty(); }

std::vector<DispatchEntry> BuildTable() {
  using C = CQorvaeditorCtrl;
  std::vector<DispatchEntry> table = {
      MemberProperty<&C::uploadType>("uploadType", 1),
      MemberProperty<&C::saveFileType>("saveFileType", 2),
      MemberProperty<&C::serverDomain>("serverDomain", 3),
      MemberProperty<&C::toSavePathUrl>("toSavePathUrl", 4),
      MemberProperty<&C::saveFolderNameRule>("saveFolderNameRule", 5),
      MemberProperty<&C::saveFileNameRule>("saveFileNameRule", 6),
      MemberProperty<&C::postPageURL>("postPageURL", 9),
      MemberProperty<&C::accessibility>("accessibility", 15),
      MemberProperty<&C::imagePropStyle>("imagePropStyle", 19),
      MemberProperty<&C::mimeVersion>("mimeVersion", 30),
      MemberProperty<&C::trustSites>("trustSites", 32),
      MemberProperty<&C::mimeCharset>("mimeCharset", 34),
      MemberProperty<&C::mimeConentEncodingType>("mimeConentEncodingType", 35),
      MemberProperty<&C::mimeFileTypeFilter>("mimeFileTypeFilter", 36),
      MemberProperty<&C::mimeLocalOnly>("mimeLocalOnly", 37),
      MemberProperty<&C::mimeRemoveHeader>("mimeRemoveHeader", 38),
      MemberProperty<&C::hasContainer>("hasContainer", 41),
      AccessorProperty(
          "width", 47, U, [](C& c) { return Variant::Uint(c.GetWidth()); },
          [](C& c, const Variant& v) { c.SetWidth(v.ui4); }),
      AccessorProperty(
          "height", 48, U, [](C& c) { return Variant::Uint(c.GetHeight()); },
          [](C& c, const Variant& v) { c.SetHeight(v.ui4); }),
      AccessorProperty(
          "qorvaEditorInitURL", 49, S,
          [](C& c) { return Variant::String(c.GetQorvaEditorInitURL()); },
          [](C& c, const Variant& v) { c.SetQorvaEditorInitURL(v.text); }),
      MemberProperty<&C::openDialogTitle>("openDialogTitle", 50),
      MemberProperty<&C::mimeBaseURL>("mimeBaseURL", 51),
      MemberProperty<&C::openDialogType>("openDialogType", 52),
      MemberProperty<&C::imgDefaultWidth>("imgDefaultWidth", 53),
      MemberProperty<&C::imgDefaultHeight>("imgDefaultHeight", 54),
      MemberProperty<&C::openDialogInitDir>("openDialogInitDir", 55),
      MemberProperty<&C::officeLineFix>("officeLineFix", 58),
      MemberProperty<&C::systemTitle>("systemTitle", 59),
      MemberProperty<&C::useLog>("useLog", 63),

      Slow(Method("getPasteHtml", 10, kNoArgs, S, A,
                  [](C& c, std::span<const Variant>) {
                    return Variant::String(ReadClipboardForPaste(c));
                  })),
      Slow(Method("postImageToServer", 11, kLocalPath, S, A,
                  [](C& c, std::span<const Variant> a) {
                    return Variant::String(
                        postImageToServer(c.platform(), c.postPageURL, a[0].text));
                  })),
      Method("setQorvaInit", 12, kNoArgs, S, Free,
             [](C& c, std::span<const Variant>) { return Variant::String(c.setQorvaInit()); }),
      Method("setScreenCapture", 13, kAutoParam, S, Free),
      Method("showImageProperty", 14, kImageProperty, S, A),
      Slow(Method("QorvaEncodeMine", 16, kHtmlAndNameType, S, A,
                  [](C& c, std::span<const Variant> a) {
                    return Variant::String(EncodeMineFor(c, a[0].text, a[1].i4));
                  })),
      Method("SetToSavePathURL", 20, kPathUrl, None, A,
             [](C& c, std::span<const Variant> a) {
               c.SetToSavePathURL(a[0].text);
               return Nothing();
             }),
      Method("SetFolderNameRule", 21, kNameRule, None, A,
             [](C& c, std::span<const Variant> a) {
               c.SetFolderNameRule(a[0].text);
               return Nothing();
             }),
      Method("SetImagePropMode", 22, kMode, None, A,
             [](C& c, std::span<const Variant> a) {
               c.SetImagePropMode(a[0].ui4);
               return Nothing();
             }),
      Method("SetServerDomain", 23, kDomain, None, A,
             [](C& c, std::span<const Variant> a) {
               c.SetServerDomain(a[0].text);
               return Nothing();
             }),
      Method("doPrintPreview", 24, kPrint, None, A),
      Method("doPrintDirect", 25, kPrint, None, A),
      Method("doSaveHTML", 26, kSaveHtml, S, A),
      Method("getImageWidthHeight", 27, kFilePathName, S, A),
      Slow(Method("QorvaEncodeMime", 28, kHtmlAndNameType, S, A,
                  [](C& c, std::span<const Variant> a) {
                    return Variant::String(EncodeMimeFor(c, a[0].text, a[1].i4));
                  })),
      // Unlike the encoders, the decoder works in container mode too.
      Slow(Method("QorvaDecodeMime", 29, kMime, S, Free,
                  [](C& c, std::span<const Variant> a) {
                    return Variant::String(DecodeMimeFor(c, a[0].text));
                  })),
      Method("getQorvaPluginVersion", 31, kNoArgs, S, A,
             [](C& c, std::span<const Variant>) {
               return Variant::String(c.getQorvaPluginVersion());
             }),
      Method("mimeSetListInit", 39, kNoArgs, None, A,
             [](C& c, std::span<const Variant>) {
               MimeSetListInit(c);
               return Nothing();
             }),
      Method("mimeAddEncodingFile", 40, kPathOrUrlAndType, None, A,
             [](C& c, std::span<const Variant> a) {
               MimeAddEncodingFile(c, a[0].text, a[1].i4);
               return Nothing();
             }),
      Method("QORVAGetMethod", 43, kFunction, S, B),
      Method("QORVASetMethod", 44, kFunction1, S, B),
      Method("QORVASetMethod2", 45, kFunction2, S, B),
      Method("QORVASetMethod3", 46, kFunction3, S, B),
      Method("getHTMLFormatFromType", 56, kNoArgs, U, Free,
             [](C& c, std::span<const Variant>) { return Variant::Uint(c.pasteSourceType); }),
      Slow(Method("getPasteHtmlEx", 57, kNoArgs, S, Free,
                  [](C& c, std::span<const Variant>) { return Variant::String(c.lastPasteHtml); })),
      Method("getLocalImageFromBase64Image", 60, kBase64, S, Free,
             [](C& c, std::span<const Variant> a) {
               return Variant::String(SaveBase64Image(c.platform().system, a[0].text, a[1].text));
             }),
      Method("canPasteImageFromClipBoard", 61, kNoArgs, I, Free,
             [](C& c, std::span<const Variant>) {
               return Variant::Int(CanPasteImageFromClipboard(c));
             }),
      Method("ShowImageSaveDlgFromClipboard", 62, kSaveType, S, Free,
             [](C& c, std::span<const Variant> a) {
               return Variant::String(ShowImageSaveDlgFromClipboard(c, a[0].text));
             }),
      WindowFree(Method("getOriginalHtml", 64, kTag, S, Free,
                        [](C& c, std::span<const Variant> a) {
                          return Variant::String(GetOriginalHtml(c, a[0].text));
                        })),
  };
  return table;
}

bool NameMatches(std::string_view ascii, std::u16string_view name) {
  if (ascii.size() != name.size()) return false;
  for (size_t i = 0; i < ascii.size(); ++i) {
    if (ToLowerUnit(static_cast<unsigned char>(ascii[i])) != ToLowerUnit(name[i])) return false;
  }
  return true;
}

InvokeResult InvokeProperty(CQorvaeditorCtrl& control, const DispatchEntry& entry, uint16_t flags,
                            std::span<const Variant> args) {
  if (flags & kInvokePropertyPut) {
    if (args.size() != 1) return {DispatchStatus::kBadParamCount, {}};
    Coercion coerced = Coerce(args[0], entry.type);
    if (coerced.status != DispatchStatus::kOk) return {coerced.status, {}, 0};
    entry.put(control, coerced.value);
    return {};
  }
  if (!(flags & (kInvokePropertyGet | kInvokeMethod))) return {DispatchStatus::kMemberNotFound, {}};
  if (!args.empty()) return {DispatchStatus::kBadParamCount, {}};
  return {DispatchStatus::kOk, entry.get(control)};
}

}  // namespace

std::span<const DispatchEntry> DispatchTable() {
  static const std::vector<DispatchEntry> table = BuildTable();
  return table;
}

const DispatchEntry* FindDispatchEntry(std::u16string_view name) {
  for (const DispatchEntry& entry : DispatchTable()) {
    if (NameMatches(entry.name, name)) return &entry;
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
