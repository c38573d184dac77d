// The installer program: the wizard, or, for scripts that deploy to many machines, the
// same install or uninstall without it.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "setup/setup_wizard.h"
#include "support/encoding.h"
#include "win32/setup/setup_property_sheet.h"
#include "win32/setup/setup_resource.h"
#include "win32/setup/win32_setup_system.h"
#include "win32/wide_text.h"
#include "win32/win32_registry.h"

namespace qorva {

namespace {

// Each build carries the control of its own architecture.
constexpr ControlBits kCarriedBits = sizeof(void*) == 8 ? ControlBits::k64 : ControlBits::k32;

// Writes a line to standard error: the handle the caller redirected, else the console of
// the process that started the program; without either there is nobody to tell.
void WriteToStandardError(TextView text) {
  HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  bool opened = false;
  if (!handle || handle == INVALID_HANDLE_VALUE) {
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    handle = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return;
    opened = true;
  }
  Text line = Text(text) + u"\n";
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(handle, &mode)) {
    std::wstring wide = Wide(line);
    WriteConsoleW(handle, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    std::string bytes = ToUtf8(line);
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  if (opened) CloseHandle(handle);
}

class RAdudArizoDoz {
 public:
  explicit RAdudArizoDoz(HINSTANCE instance) : instance_(instance) {}

  int Run(std::span<const Text> arguments) {
    SetupArguments parsed = ParseSetupArguments(arguments);
    switch (parsed.request) {
      case SetupRequest::kWizard:
        return RunWizard();
      case SetupRequest::kSilentInstall:
        return RunSilentInstall(parsed.allowedOrigins);
      case SetupRequest::kSilentUninstall:
        return Report(RunSetupStep(SetupMode::kUninstall, kCarriedBits, system_));
      case SetupRequest::kUsageError:
        break;
    }
    WriteToStandardError(SetupUsageText());
    return kUsageExitStatus;
  }

 private:
  int RunWizard() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_DATE_CLASSES |
                     ICC_USEREX_CLASSES | ICC_COOL_CLASSES | ICC_INTERNET_CLASSES |
                     ICC_PAGESCROLLER_CLASS | ICC_NATIVEFNTCTL_CLASS | ICC_LINK_CLASS;
    InitCommonControlsEx(&controls);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
      MessageBoxW(nullptr, L"ERROR..", nullptr, MB_OK);
      return 1;
    }
    CPropPageBase start(instance_, IDD_SETUP_START, SetupPage::kStart);
    CPropPageSetup setup(instance_, system_, kCarriedBits);
    CPropPageEnd end(instance_);
    CPropSheetBase sheet(instance_);
    sheet.AddPage(start);
    sheet.AddPage(setup);
    sheet.AddPage(end);
    sheet.DoModal();
    CoUninitialize();
    return 0;
  }

  int RunSilentInstall(const std::optional<Text>& allowedOrigins) {
    Win32Registry registry;
    return Report(RunUnattendedInstall(kCarriedBits, allowedOrigins, system_, registry));
  }

  static int Report(SetupOutcome outcome) {
    WriteToStandardError(MessageFor(outcome).text);
    return ExitStatusFor(outcome);
  }

  HINSTANCE instance_;
  Win32SetupSystem system_{instance_};
};

}  // namespace

}  // namespace qorva

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<qorva::Text> arguments;
  for (int i = 1; argv && i < count; ++i) arguments.push_back(qorva::FromWide(argv[i]));
  LocalFree(argv);
  return qorva::RAdudArizoDoz(instance).Run(arguments);
}
