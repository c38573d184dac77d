// Persistence of the control's parameters: the object element's property bag, and a
// stream for hosts that save the control's state.
#include <vector>

#include "control/automation_coercion.h"
#include "control/persisted_state.h"
#include "control/property_exchange.h"
#include "win32/activex/com_ids.h"
#include "win32/activex/qorvaeditor_object.h"
#include "win32/wide_text.h"

namespace qorva {

namespace {

// The parameter exchange over a host's property bag: each parameter is read as text and
// converted as the parameter list does; saving writes the members back.
class PropertyBagExchange final : public PropertyExchange {
 public:
  PropertyBagExchange(IPropertyBag* bag, ExchangeDirection direction)
      : bag_(bag), direction_(direction) {}

  ExchangeDirection direction() const override { return direction_; }
  void ExchangeVersion(uint16_t, uint16_t) override {}

  void ExchangeText(TextView name, Text& value, TextView defaultValue) override {
    if (direction_ == ExchangeDirection::kSave) {
      Write(name, Variant::String(value));
      return;
    }
    std::optional<Text> read = Read(name);
    value = read ? *read : Text(defaultValue);
  }
  void ExchangeInt(TextView name, int32_t& value, int32_t defaultValue) override {
    if (direction_ == ExchangeDirection::kSave) {
      Write(name, Variant::Int(value));
      return;
    }
    Coercion coerced = Number(name, ValueType::kInt);
    value = coerced.status == DispatchStatus::kOk ? coerced.value.i4 : defaultValue;
  }
  void ExchangeUint(TextView name, uint32_t& value, uint32_t defaultValue) override {
    if (direction_ == ExchangeDirection::kSave) {
      Write(name, Variant::Uint(value));
      return;
    }
    Coercion coerced = Number(name, ValueType::kUint);
    value = coerced.status == DispatchStatus::kOk ? coerced.value.ui4 : defaultValue;
  }

 private:
  std::optional<Text> Read(TextView name) {
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = nullptr;
    std::wstring wideName = Wide(name);
    if (FAILED(bag_->Read(wideName.c_str(), &value, nullptr))) return std::nullopt;
    VARIANT text;
    VariantInit(&text);
    std::optional<Text> result;
    if (SUCCEEDED(VariantChangeType(&text, &value, 0, VT_BSTR))) {
      result = Text(reinterpret_cast<const char16_t*>(V_BSTR(&text)), SysStringLen(V_BSTR(&text)));
    }
    VariantClear(&text);
    VariantClear(&value);
    return result;
  }
  Coercion Number(TextView name, ValueType type) {
    std::optional<Text> read = Read(name);
    return read ? Coerce(Variant::String(*read), type) : Coercion{};
  }
  void Write(TextView name, const Variant& value) {
    VARIANT out;
    VariantInit(&out);
    if (value.tag == kVtBstr) {
      V_VT(&out) = VT_BSTR;
      V_BSTR(&out) = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(value.text.data()),
                                       static_cast<UINT>(value.text.size()));
    } else if (value.tag == kVtI4) {
      V_VT(&out) = VT_I4;
      V_I4(&out) = value.i4;
    } else {
      V_VT(&out) = VT_UI4;
      V_UI4(&out) = value.ui4;
    }
    std::wstring wideName = Wide(name);
    bag_->Write(wideName.c_str(), &out);
    VariantClear(&out);
  }

  IPropertyBag* bag_;
  ExchangeDirection direction_;
};

}  // namespace

HRESULT CQorvaeditorObject::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_qorvaeditor;
  return S_OK;
}

HRESULT CQorvaeditorObject::InitNew() {
  return GuardComCall([&]() -> HRESULT {
    // No saved state: the exchange runs with every default.
    ParameterListExchange defaults(ExchangeDirection::kLoad);
    control_.ExchangeParameters(defaults);
    return S_OK;
  });
}

HRESULT CQorvaeditorObject::Load(IPropertyBag* bag, IErrorLog*) {
  if (!bag) return E_POINTER;
  return GuardComCall([&]() -> HRESULT {
    PropertyBagExchange exchange(bag, ExchangeDirection::kLoad);
    control_.ExchangeParameters(exchange);
    return S_OK;
  });
}

HRESULT CQorvaeditorObject::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
  if (!bag) return E_POINTER;
  return GuardComCall([&]() -> HRESULT {
    PropertyBagExchange exchange(bag, ExchangeDirection::kSave);
    control_.ExchangeParameters(exchange);
    if (clearDirty) dirty_ = false;
    return S_OK;
  });
}

HRESULT CQorvaeditorObject::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT CQorvaeditorObject::Load(LPSTREAM stream) {
  if (!stream) return E_POINTER;
  return GuardComCall([&]() -> HRESULT {
    std::string bytes;
    char buffer[4096];
    ULONG got = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got > 0) {
      bytes.append(buffer, got);
      if (bytes.size() > 64u * 1024 * 1024) return E_FAIL;
    }
    auto parameters = ParsePersistedState(bytes);
    if (!parameters) return E_FAIL;
    ParameterListExchange exchange(ExchangeDirection::kLoad, std::move(*parameters));
    control_.ExchangeParameters(exchange);
    return S_OK;
  });
}

HRESULT CQorvaeditorObject::Save(LPSTREAM stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  return GuardComCall([&]() -> HRESULT {
    ParameterListExchange exchange(ExchangeDirection::kSave);
    control_.ExchangeParameters(exchange);
    std::string bytes = SerializePersistedState(exchange.parameters());
    ULONG written = 0;
    HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    if (FAILED(hr) || written != bytes.size()) return STG_E_CANTSAVE;
    if (clearDirty) dirty_ = false;
    return S_OK;
  });
}

HRESULT CQorvaeditorObject::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  return GuardComCall([&]() -> HRESULT {
    ParameterListExchange exchange(ExchangeDirection::kSave);
    control_.ExchangeParameters(exchange);
    size->QuadPart = SerializePersistedState(exchange.parameters()).size();
    return S_OK;
  });
}

}  // namespace qorva
