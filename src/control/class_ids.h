// The identities of the control as COM knows them, fixed once and never changed between
// releases. The .idl carries the same values; a test keeps the two in step.
#pragma once

#include <string_view>

namespace qorva {

inline constexpr std::u16string_view kLibId = u"{F600CD44-1E2C-44FA-9D2B-D1468B37ED4E}";
inline constexpr std::u16string_view kDispatchIid = u"{EA03E48B-4F85-4209-98E8-7ECC6395AFF2}";
inline constexpr std::u16string_view kEventsIid = u"{8ECD14FD-C42B-4892-87AF-AD4010920F5D}";
inline constexpr std::u16string_view kControlClsid = u"{31BA59EE-F36B-4B03-B62E-E3099BB57FD8}";
inline constexpr std::u16string_view kPropPageClsid = u"{31E53C26-A478-4D2F-A2D3-82A3079BA581}";

inline constexpr std::u16string_view kControlProgId = u"QORVAEDITOR.qorvaeditorCtrl.1";
inline constexpr std::u16string_view kPropPageProgId = u"QORVAEDITOR.qorvaeditorPropPage.1";

// The platform's standard categories of controls safe for scripting and for
// initialising from persistent data.
inline constexpr std::u16string_view kCatIdSafeForScripting =
    u"{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
inline constexpr std::u16string_view kCatIdSafeForInitializing =
    u"{7DD95802-9882-11CF-9FA9-00AA006C42C4}";

inline constexpr unsigned kTypeLibMajor = 1;
inline constexpr unsigned kTypeLibMinor = 0;
inline constexpr unsigned kTypeLibLcid = 0x409;

}  // namespace qorva
