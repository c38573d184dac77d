#include "control/control_parameters.h"

#include <type_traits>
#include <vector>

#include "control/control_settings.h"
#include "control/property_exchange.h"
#include "control/qorvaeditor_ctrl.h"

namespace qorva {

namespace {

using C = CQorvaeditorCtrl;
using S = ControlSettings;

template <auto Member>
using MemberType = std::remove_cvref_t<decltype(std::declval<C&>().*Member)>;

template <auto Member>
void ExchangeMember(C& control, PropertyExchange& px, const ControlParameter& p) {
  using T = MemberType<Member>;
  Text name = Widen(p.name);
  if constexpr (std::is_same_v<T, Text>) {
    px.ExchangeText(name, control.*Member, p.textDefault);
  } else if constexpr (std::is_same_v<T, uint32_t>) {
    px.ExchangeUint(name, control.*Member, static_cast<uint32_t>(p.numberDefault));
  } else {
    static_assert(std::is_same_v<T, int32_t>, "parameters are text, int or uint");
    px.ExchangeInt(name, control.*Member, static_cast<int32_t>(p.numberDefault));
  }
}

template <auto Member>
Variant GetMember(C& control) {
  return ToVariant(control.*Member);
}

template <auto Member>
void PutMember(C& control, const Variant& value) {
  control.*Member = FromVariant<MemberType<Member>>(value);
}

template <auto Member, auto Setting>
void CopyToSettings(const C& control, const SettingsInputs&, S& settings) {
  settings.*Setting = control.*Member;
}

// A default as written in the table: text for text parameters, a number for the others.
struct Default {
  constexpr Default(const char16_t* text) : text(text) {}
  constexpr Default(int number) : number(number) {}
  std::u16string_view text;
  int64_t number = 0;
};

// A parameter read and written as a plain field. With a `Setting`, the record takes the
// value as it is.
template <auto Member, auto Setting = nullptr>
ControlParameter Field(std::string_view name, int32_t id, Default value) {
  ControlParameter p{name, id, TypeOf<MemberType<Member>>(), value.text, value.number};
  p.exchange = &ExchangeMember<Member>;
  p.get = &GetMember<Member>;
  p.put = &PutMember<Member>;
  if constexpr (Setting != nullptr) p.toSettings = &CopyToSettings<Member, Setting>;
  return p;
}

// A parameter whose scripting property goes through the control's accessor functions.
template <auto Member, auto Getter, auto Setter>
ControlParameter Accessed(std::string_view name, int32_t id, Default value) {
  ControlParameter p = Field<Member>(name, id, value);
  p.get = [](C& control) { return ToVariant((control.*Getter)()); };
  p.put = [](C& control, const Variant& v) {
    (control.*Setter)(FromVariant<MemberType<Member>>(v));
  };
  return p;
}

ControlParameter WithSettings(ControlParameter p,
                              void (*rule)(const C&, const SettingsInputs&, S&)) {
  p.toSettings = rule;
  return p;
}

// The upload page is always told the plug-in uploads, whatever the page asked for.
void UploadTypeRule(const C&, const SettingsInputs&, S& s) { s.uploadType = u"plugin"; }

// "0" removes the title; an empty value keeps the one there is.
void SystemTitleRule(const C& c, const SettingsInputs&, S& s) {
  if (c.systemTitle == u"0") {
    s.systemTitle.clear();
  } else if (!c.systemTitle.empty()) {
    s.systemTitle = c.systemTitle;
  }
}

// The initial folder only counts where the drive policy hides drive C:.
void OpenDialogInitDirRule(const C& c, const SettingsInputs& in, S& s) {
  if (!in.driveCRestricted) return;
  s.drivePolicyRestricted = *in.driveCRestricted;
  if (*in.driveCRestricted) s.openDialogInitDir = c.openDialogInitDir;
}

void UseLogRule(const C& c, const SettingsInputs&, S& s) { s.useLog = c.useLog >= 1; }

std::vector<ControlParameter> BuildParameters() {
  return {
      WithSettings(Field<&C::uploadType>("uploadType", 1, u"plugin"), &UploadTypeRule),
      Field<&C::saveFileType, &S::saveFileType>("saveFileType", 2, u""),
      Field<&C::serverDomain, &S::serverDomain>("serverDomain", 3, u""),
      Field<&C::toSavePathUrl, &S::toSavePathUrl>("toSavePathUrl", 4, u"qorvadata"),
      Field<&C::saveFolderNameRule, &S::saveFolderNameRule>("saveFolderNameRule", 5, u"YYYY/MM"),
      Field<&C::saveFileNameRule, &S::saveFileNameRule>("saveFileNameRule", 6, u"DATETIME"),
      Field<&C::accessibility, &S::accessibility>("accessibility", 15, u"0"),
      Field<&C::postPageURL, &S::postPageURL>("postPageURL", 9, u""),
      Field<&C::imagePropStyle>("imagePropStyle", 19, u"1"),
      Field<&C::mimeVersion, &S::mimeVersion>("mimeVersion", 30, u""),
      Field<&C::trustSites>("trustSites", 32, u""),
      Field<&C::mimeCharset>("mimeCharset", 34, u"euc-kr"),
      Field<&C::mimeConentEncodingType>("mimeConentEncodingType", 35, 3),
      Field<&C::mimeFileTypeFilter>("mimeFileTypeFilter", 36, 1),
      Field<&C::mimeLocalOnly>("mimeLocalOnly", 37, 1),
      Field<&C::mimeRemoveHeader>("mimeRemoveHeader", 38, 0),
      Field<&C::hasContainer>("hasContainer", 41, 0),
      Accessed<&C::qorvaEditorInitURL, &C::GetQorvaEditorInitURL, &C::SetQorvaEditorInitURL>(
          "qorvaEditorInitURL", 49, u"about:blank"),
      Accessed<&C::width, &C::GetWidth, &C::SetWidth>("width", 47, 0),
      Accessed<&C::height, &C::GetHeight, &C::SetHeight>("height", 48, 0),
      Field<&C::openDialogTitle, &S::openDialogTitle>("openDialogTitle", 50, u""),
      Field<&C::openDialogType, &S::openDialogType>("openDialogType", 52, 0),
      Field<&C::mimeBaseURL, &S::mimeBaseURL>("mimeBaseURL", 51, u""),
      Field<&C::imgDefaultWidth, &S::imgDefaultWidth>("imgDefaultWidth", 53, 0),
      Field<&C::imgDefaultHeight, &S::imgDefaultHeight>("imgDefaultHeight", 54, 0),
      WithSettings(Field<&C::openDialogInitDir>("openDialogInitDir", 55, u""),
                   &OpenDialogInitDirRule),
      Field<&C::officeLineFix>("officeLineFix", 58, 1),
      WithSettings(Field<&C::systemTitle>("systemTitle", 59, u""), &SystemTitleRule),
      WithSettings(Field<&C::useLog>("useLog", 63, 0), &UseLogRule),
      Field<&C::resourceUrl, &S::resourceUrl>("resourceUrl", kNoDispatchId, u""),
  };
}

}  // namespace

std::span<const ControlParameter> ControlParameters() {
  static const std::vector<ControlParameter> parameters = BuildParameters();
  return parameters;
}

}  // namespace qorva
