// Hosts the control in a page of its own making: the client site's container answers as
// the page's HTML document, with the address given, and records the commands the control
// sends it. Checks the page-setup values in the registry before, during and after the
// control's life, and that the control releases every interface it took. The 64-bit
// build only: the document's unused methods share one stub, which the x64 convention
// allows.
// Usage: print_host.exe USER_HEADER USER_FOOTER, in a document whose address cannot be
// read; or print_host.exe site URL allowed|refused, where a page the administrator's list
// of origins allows drives the control and a refused one gets the failure values, its
// print reaching neither the document nor the page setup. Prints a line per failed check;
// the exit status is the number of failures.
#include <docobj.h>
#include <mshtml.h>
#include <ocidl.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host_fakes.h"
#include "qorvaeditor_h.h"

namespace {

using host_fakes::Check;
using host_fakes::failures;

constexpr GUID kMshtmlCommands = {
    0xDE4BA900, 0x59CA, 0x11CF, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

struct Command {
  GUID group;
  DWORD id;
  DWORD option;
  bool noArguments;
};

class Container;

// The document as far as the control needs it: an identity it can ask for the command
// target, and its address. Every other slot of the document's table answers E_NOTIMPL.
struct Document {
  void** table;
  Container* owner;
};

class Container final : public IOleContainer, public IOleCommandTarget {
 public:
  Container();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleContainer) ||
        IsEqualIID(iid, IID_IParseDisplayName)) {
      *object = static_cast<IOleContainer*>(this);
    } else if (IsEqualIID(iid, IID_IOleCommandTarget)) {
      *object = static_cast<IOleCommandTarget*>(this);
    } else if (IsEqualIID(iid, IID_IHTMLDocument2) || IsEqualIID(iid, IID_IHTMLDocument)) {
      *object = &document_;
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumObjects(DWORD, IEnumUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockContainer(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Exec(const GUID* group, DWORD id, DWORD option, VARIANT* in,
                                 VARIANT* out) override {
    commands.push_back({group ? *group : GUID_NULL, id, option, !in && !out});
    return S_OK;
  }

  long references = 1;  // the host's own
  std::vector<Command> commands;
  std::wstring url;

 private:
  Document document_;
};

HRESULT STDMETHODCALLTYPE DocumentQuery(Document* self, REFIID iid, void** object) {
  return self->owner->QueryInterface(iid, object);
}
ULONG STDMETHODCALLTYPE DocumentAddRef(Document* self) { return self->owner->AddRef(); }
ULONG STDMETHODCALLTYPE DocumentRelease(Document* self) { return self->owner->Release(); }
HRESULT STDMETHODCALLTYPE DocumentUrl(Document* self, BSTR* url) {
  if (!url) return E_POINTER;
  *url = nullptr;
  if (self->owner->url.empty()) return E_NOTIMPL;
  *url = SysAllocString(self->owner->url.c_str());
  return *url ? S_OK : E_OUTOFMEMORY;
}
HRESULT STDMETHODCALLTYPE NotImplemented() { return E_NOTIMPL; }

// IHTMLDocument2::get_URL's slot: after IUnknown's 3, IDispatch's 4, IHTMLDocument's 1 and
// IHTMLDocument2's 32 before it.
constexpr int kGetUrlSlot = 40;

void** DocumentTable() {
  static void* table[160];
  if (!table[0]) {
    for (void*& slot : table) slot = reinterpret_cast<void*>(&NotImplemented);
    table[0] = reinterpret_cast<void*>(&DocumentQuery);
    table[1] = reinterpret_cast<void*>(&DocumentAddRef);
    table[2] = reinterpret_cast<void*>(&DocumentRelease);
    table[kGetUrlSlot] = reinterpret_cast<void*>(&DocumentUrl);
  }
  return table;
}

Container::Container() : document_{DocumentTable(), this} {}

class Site final : public IOleClientSite {
 public:
  explicit Site(Container& container) : container_(container) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IOleClientSite)) {
      return E_NOINTERFACE;
    }
    *object = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (!container) return E_POINTER;
    container_.AddRef();
    *container = &container_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  long references = 1;

 private:
  Container& container_;
};

std::wstring PageSetupValue(const wchar_t* name) {
  wchar_t buffer[2048] = {};
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\PageSetup", name,
                   RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return L"<missing>";
  }
  return buffer;
}

HRESULT Print(IDispatch* control, DISPID id, const wchar_t* header, const wchar_t* footer) {
  VARIANT args[3];  // in reverse order: URL, footer, header
  for (VARIANT& arg : args) V_VT(&arg) = VT_BSTR;
  V_BSTR(&args[0]) = SysAllocString(L"http://ignored.example/");
  V_BSTR(&args[1]) = SysAllocString(footer);
  V_BSTR(&args[2]) = SysAllocString(header);
  DISPPARAMS params{args, nullptr, 3, 0};
  HRESULT hr = control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                               nullptr, nullptr);
  for (VARIANT& arg : args) VariantClear(&arg);
  return hr;
}

std::wstring Version(IDispatch* control) {
  constexpr DISPID kGetQorvaPluginVersion = 31;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = control->Invoke(kGetQorvaPluginVersion, IID_NULL, LOCALE_USER_DEFAULT,
                               DISPATCH_METHOD, &none, &result, nullptr, nullptr);
  Check(SUCCEEDED(hr) && V_VT(&result) == VT_BSTR, "the version method answers a string");
  std::wstring version = V_VT(&result) == VT_BSTR && V_BSTR(&result) ? V_BSTR(&result) : L"";
  VariantClear(&result);
  return version;
}

bool IsCommand(const Command& command, DWORD id) {
  return IsEqualGUID(command.group, kMshtmlCommands) && command.id == id &&
         command.option == OLECMDEXECOPT_DODEFAULT && command.noArguments;
}

// The control in a document at `url`, from its creation to its release; `use` drives it.
template <typename Use>
void Host(const std::wstring& url, Container& container, Site& site, Use use) {
  container.url = url;
  IOleObject* ole = nullptr;
  CoCreateInstance(CLSID_qorvaeditor, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                   reinterpret_cast<void**>(&ole));
  Check(ole != nullptr, "create by class id");
  if (!ole) return;
  IPersistStreamInit* persist = nullptr;
  ole->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
  ole->SetClientSite(&site);
  if (persist) persist->InitNew();
  IDispatch* control = nullptr;
  ole->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&control));
  use(control);
  control->Release();
  if (persist) persist->Release();
  ole->Close(OLECLOSE_NOSAVE);
  ole->SetClientSite(nullptr);
  ole->Release();
}

void PrintChecks(const std::wstring& userHeader, const std::wstring& userFooter,
                 Container& container, IDispatch* control) {
  Check(PageSetupValue(L"header") == userHeader, "the user's header before");
  Check(SUCCEEDED(Print(control, 24, L"Report", L"")), "the print method runs");
  Check(PageSetupValue(L"header") == L"Report", "the given header while printing");
  Check(PageSetupValue(L"footer") == userFooter, "an empty footer takes the user's own");
  Check(SUCCEEDED(Print(control, 25, L"0", L"0")), "the print method runs");
  Check(PageSetupValue(L"header").empty() && PageSetupValue(L"footer").empty(),
        "\"0\" prints without header and footer");
  Check(container.commands.size() == 2, "one command for each print");
  Check(container.commands.size() == 2 && IsCommand(container.commands[0], 2003),
        "the preview command of the document's group, its default option, no arguments");
  Check(container.commands.size() == 2 && IsCommand(container.commands[1], 27),
        "the print command of the document's group, its default option, no arguments");
}

void SiteChecks(bool allowed, Container& container, IDispatch* control) {
  const std::wstring header = PageSetupValue(L"header");
  std::wstring version = Version(control);
  Check(SUCCEEDED(Print(control, 25, L"Site header", L"")), "the print method answers");
  if (allowed) {
    Check(version.rfind(L"1,0,0,", 0) == 0, "an allowed page gets the version");
    Check(container.commands.size() == 1, "an allowed page prints");
  } else {
    Check(version.empty(), "a refused page gets an empty version");
    Check(container.commands.empty(), "a refused page's print reaches no document");
    Check(PageSetupValue(L"header") == header, "a refused page's print leaves the page setup");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool siteMode = argc == 4 && std::wstring(argv[1]) == L"site";
  if (argc != 3 && !siteMode) return 100;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Container container;
  Site site(container);
  const std::wstring first = argv[1], second = argv[2];
  if (siteMode) {
    const bool allowed = std::wstring(argv[3]) == L"allowed";
    Host(second, container, site,
         [&](IDispatch* control) { SiteChecks(allowed, container, control); });
  } else {
    Host(L"", container, site,
         [&](IDispatch* control) { PrintChecks(first, second, container, control); });
    Check(PageSetupValue(L"header") == first && PageSetupValue(L"footer") == second,
          "the user's page setup is back once the control is gone");
  }
  Check(container.references == 1, "every reference to the document and its container released");
  Check(site.references == 1, "every reference to the client site released");
  CoUninitialize();
  return failures;
}
