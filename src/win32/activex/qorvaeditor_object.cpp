// Identity, scripting and events of the control object.
#include "win32/activex/qorvaeditor_object.h"

#include <vector>

#include "control/control_settings.h"
#include "control/dispatch_table.h"
#include "paste/clipboard_images.h"
#include "paste/image_resize.h"
#include "platform/native_clock.h"
#include "platform/native_content_types.h"
#include "platform/native_http_client.h"
#include "platform/native_image_codec.h"
#include "platform/native_system.h"
#include "win32/activex/com_ids.h"
#include "win32/activex/module.h"
#include "win32/wide_text.h"

namespace qorva {

namespace {

constexpr DWORD kSafetyOptions =
    INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;

VARTYPE VarTypeOf(ValueType type) {
  switch (type) {
    case ValueType::kString:
      return VT_BSTR;
    case ValueType::kInt:
      return VT_I4;
    case ValueType::kUint:
      return VT_UI4;
    case ValueType::kNone:
      break;
  }
  return VT_EMPTY;
}

// Automation's own coercion to the declared type, then the value as the core holds it.
HRESULT ToCoreValue(const VARIANT& input, ValueType type, Variant& out) {
  VARIANT converted;
  VariantInit(&converted);
  HRESULT hr = VariantChangeType(&converted, const_cast<VARIANT*>(&input), 0, VarTypeOf(type));
  if (FAILED(hr)) return hr == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
  switch (V_VT(&converted)) {
    case VT_BSTR:
      out = Variant::String(Text(reinterpret_cast<const char16_t*>(V_BSTR(&converted)),
                                 SysStringLen(V_BSTR(&converted))));
      break;
    case VT_I4:
      out = Variant::Int(V_I4(&converted));
      break;
    case VT_UI4:
      out = Variant::Uint(V_UI4(&converted));
      break;
    default:
      out = Variant::Empty();
      break;
  }
  VariantClear(&converted);
  return S_OK;
}

HRESULT ToVariant(const Variant& value, VARIANT* out) {
  VariantInit(out);
  switch (value.tag) {
    case kVtBstr: {
      BSTR text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(value.text.data()),
                                    static_cast<UINT>(value.text.size()));
      if (!text) return E_OUTOFMEMORY;
      V_VT(out) = VT_BSTR;
      V_BSTR(out) = text;
      return S_OK;
    }
    case kVtI4:
      V_VT(out) = VT_I4;
      V_I4(out) = value.i4;
      return S_OK;
    case kVtUi4:
      V_VT(out) = VT_UI4;
      V_UI4(out) = value.ui4;
      return S_OK;
    default:
      return S_OK;
  }
}

HRESULT StatusToHresult(DispatchStatus status) {
  switch (status) {
    case DispatchStatus::kOk:
      return S_OK;
    case DispatchStatus::kUnknownName:
      return DISP_E_UNKNOWNNAME;
    case DispatchStatus::kMemberNotFound:
      return DISP_E_MEMBERNOTFOUND;
    case DispatchStatus::kBadParamCount:
      return DISP_E_BADPARAMCOUNT;
    case DispatchStatus::kTypeMismatch:
      return DISP_E_TYPEMISMATCH;
    case DispatchStatus::kOverflow:
      return DISP_E_OVERFLOW;
  }
  return E_UNEXPECTED;
}

}  // namespace

CQorvaeditorObject::CQorvaeditorObject()
    : userInterface_([this] { return window_; }),
      system_(CreateNativeSystem()),
      http_(CreateNativeHttpClient()),
      clock_(CreateNativeClock()),
      contentTypes_(CreateNativeContentTypes(registry_)),
      site_(*this),
      imageCodec_(CreateNativeImageCodec()),
      clipboard_([this] { return window_; }),
      screen_([this] { return window_; }),
      control_(Platform{.registry = registry_,
                        .userInterface = userInterface_,
                        .system = *system_,
                        .site = site_,
                        .http = *http_,
                        .imageCodec = *imageCodec_,
                        .clipboard = clipboard_,
                        .clock = *clock_,
                        .contentTypes = *contentTypes_,
                        .screen = screen_}),
      events_(this) {
  control_.events.Advise([this] { events_.Fire(kEventLoadedId); });
  userInterface_.SetImageSheetServices(
      {imageCodec_.get(),
       [this](TextView type, int32_t angle) {
         ControlSettings settings = SettingsSnapshot();
         ClipboardImageContext images{clipboard_, *system_, *imageCodec_,
                                      DefaultImageSize(settings), settings.jpegQuality};
         return SaveClipboardBitmap(images, type, angle, -1, -1).path;
       },
       [this](TextView path, int32_t width, int32_t height) {
         ResizeImageFileInPlace(*imageCodec_, path, width, height, SettingsSnapshot().jpegQuality);
       }});
}

CQorvaeditorObject::~CQorvaeditorObject() {
  if (window_) DestroyWindow(window_);
}

std::span<const InterfaceEntry<CQorvaeditorObject>> CQorvaeditorObject::Interfaces() {
  static constexpr InterfaceEntry<CQorvaeditorObject> kTable[] = {
      Entry<IDispatch>(IID_IUnknown),
      Entry<IDispatch>(IID_IDispatch),
      Entry<IDispatch>(DIID__Dqorvaeditor),
      Entry<IProvideClassInfo2>(IID_IProvideClassInfo),
      Entry<IProvideClassInfo2>(IID_IProvideClassInfo2),
      Entry<IConnectionPointContainer>(IID_IConnectionPointContainer),
      Entry<IObjectSafety>(IID_IObjectSafety),
      Entry<IPersistPropertyBag>(IID_IPersist),
      Entry<IPersistPropertyBag>(IID_IPersistPropertyBag),
      Entry<IPersistStreamInit>(IID_IPersistStreamInit),
      Entry<IOleObject>(IID_IOleObject),
      Entry<IOleInPlaceObject>(IID_IOleWindow),
      Entry<IOleInPlaceObject>(IID_IOleInPlaceObject),
      Entry<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject),
      Entry<IOleControl>(IID_IOleControl),
      Entry<IViewObject2>(IID_IViewObject),
      Entry<IViewObject2>(IID_IViewObject2),
  };
  return kTable;
}

HRESULT CQorvaeditorObject::LoadTypeInfo(REFGUID guid, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return GuardComCall([&] {
    std::wstring path = Wide(ModuleFilePath());
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(guid, info);
  });
}

HRESULT CQorvaeditorObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT CQorvaeditorObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return LoadTypeInfo(DIID__Dqorvaeditor, info);
}

HRESULT CQorvaeditorObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  if (count == 0) return S_OK;
  return GuardComCall([&] {
    HRESULT hr = S_OK;
    const DispatchEntry* entry = FindDispatchEntry(FromWide(names[0]));
    ids[0] = entry ? entry->id : DISPID_UNKNOWN;
    if (!entry) hr = DISP_E_UNKNOWNNAME;
    // Further names are the method's argument names: their positions.
    for (UINT i = 1; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      if (!entry) continue;
      Text name = FromWide(names[i]);
      for (size_t a = 0; a < entry->args.size(); ++a) {
        if (EqualsIgnoreCase(Widen(entry->args[a].name), name)) ids[i] = static_cast<DISPID>(a);
      }
      if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  });
}

HRESULT CQorvaeditorObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT* argError) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_INVALIDARG;
  return GuardComCall([&]() -> HRESULT {
    const DispatchEntry* entry = FindDispatchEntry(static_cast<int32_t>(id));
    if (!entry) return DISP_E_MEMBERNOTFOUND;
    bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (params->cNamedArgs > 0 &&
        !(put && params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT)) {
      return DISP_E_NONAMEDARGS;
    }
    size_t expected = put ? 1 : (entry->kind == MemberKind::kMethod ? entry->args.size() : 0);
    if (params->cArgs != expected) return DISP_E_BADPARAMCOUNT;

    // Automation passes the arguments last first.
    std::vector<Variant> args(params->cArgs);
    for (UINT i = 0; i < params->cArgs; ++i) {
      ValueType type = put ? entry->type : entry->args[i].type;
      HRESULT hr = ToCoreValue(params->rgvarg[params->cArgs - 1 - i], type, args[i]);
      if (FAILED(hr)) {
        if (argError) *argError = params->cArgs - 1 - i;
        return hr;
      }
    }
    uint16_t coreFlags = put ? uint16_t{kInvokePropertyPut} : static_cast<uint16_t>(flags & 3);
    InvokeResult outcome = qorva::Invoke(control_, entry->id, coreFlags, args);
    if (outcome.status != DispatchStatus::kOk) {
      if (argError) *argError = params->cArgs - 1 - outcome.badArgument;
      return StatusToHresult(outcome.status);
    }
    return result ? ToVariant(outcome.value, result) : S_OK;
  });
}

HRESULT CQorvaeditorObject::GetClassInfo(ITypeInfo** info) {
  return LoadTypeInfo(CLSID_qorvaeditor, info);
}

HRESULT CQorvaeditorObject::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = DIID__DqorvaeditorEvents;
  return S_OK;
}

HRESULT CQorvaeditorObject::EnumConnectionPoints(IEnumConnectionPoints** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return E_NOTIMPL;
}

HRESULT CQorvaeditorObject::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(iid, DIID__DqorvaeditorEvents)) return CONNECT_E_NOCONNECTION;
  *out = &events_;
  events_.AddRef();
  return S_OK;
}

HRESULT CQorvaeditorObject::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported,
                                                      DWORD* enabled) {
  if (!supported || !enabled) return E_POINTER;
  if (!Implements(iid)) {
    *supported = *enabled = 0;
    return E_NOINTERFACE;
  }
  *supported = kSafetyOptions;
  *enabled = kSafetyOptions;
  return S_OK;
}

HRESULT CQorvaeditorObject::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD) {
  if (!Implements(iid)) return E_NOINTERFACE;
  // Safe for scripting and for initialisation: every option we are asked for holds.
  return (mask & ~kSafetyOptions) == 0 ? S_OK : E_FAIL;
}

HRESULT CQorvaeditorObject::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->cb = sizeof(CONTROLINFO);
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

HRESULT CQorvaeditorObject::OnMnemonic(MSG*) { return E_NOTIMPL; }
HRESULT CQorvaeditorObject::OnAmbientPropertyChange(DISPID) { return S_OK; }
HRESULT CQorvaeditorObject::FreezeEvents(BOOL) { return S_OK; }

}  // namespace qorva
