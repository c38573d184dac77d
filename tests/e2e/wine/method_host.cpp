// Hosts the control with the parameters an object element would give it and makes one
// scripting call, as a page does: method_host OUT_FILE NAME=VALUE... -- METHOD ARG...
// Writes the call's string result to OUT_FILE in UTF-8; exits 0 when the call was made.
#include <ocidl.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host_fakes.h"
#include "qorvaeditor_h.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 100;
  int at = 2;
  host_fakes::Bag bag;
  for (; at < argc && std::wstring(argv[at]) != L"--"; ++at) {
    std::wstring pair = argv[at];
    size_t equals = pair.find(L'=');
    if (equals != std::wstring::npos) bag.values[pair.substr(0, equals)] = pair.substr(equals + 1);
  }
  if (at + 1 >= argc) return 101;
  std::wstring method = argv[at + 1];
  std::vector<std::wstring> args(argv + at + 2, argv + argc);

  CoInitialize(nullptr);
  IDispatch* control = nullptr;
  if (FAILED(CoCreateInstance(CLSID_qorvaeditor, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&control)))) {
    return 102;
  }
  IPersistPropertyBag* persist = nullptr;
  if (SUCCEEDED(
          control->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist)))) {
    persist->Load(&bag, nullptr);
    persist->Release();
  }
  LPOLESTR name = method.data();
  DISPID id = 0;
  if (FAILED(control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) return 103;
  // Invoke takes the arguments last first.
  std::vector<VARIANT> values(args.size());
  for (size_t i = 0; i < args.size(); ++i) {
    VariantInit(&values[args.size() - 1 - i]);
    V_VT(&values[args.size() - 1 - i]) = VT_BSTR;
    V_BSTR(&values[args.size() - 1 - i]) = SysAllocString(args[i].c_str());
  }
  DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
  VARIANT result;
  VariantInit(&result);
  HRESULT invoked = control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                    &result, nullptr, nullptr);
  for (VARIANT& value : values) VariantClear(&value);
  std::string text;
  if (SUCCEEDED(invoked) && V_VT(&result) == VT_BSTR && V_BSTR(&result)) {
    int size = WideCharToMultiByte(CP_UTF8, 0, V_BSTR(&result), -1, nullptr, 0, nullptr, nullptr);
    text.resize(size > 0 ? static_cast<size_t>(size) : 1);
    WideCharToMultiByte(CP_UTF8, 0, V_BSTR(&result), -1, text.data(), size, nullptr, nullptr);
    text.resize(text.size() - 1);
  }
  VariantClear(&result);
  control->Release();
  CoUninitialize();
  FILE* out = _wfopen(argv[1], L"wb");
  if (!out) return 104;
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
  return SUCCEEDED(invoked) ? 0 : 105;
}
