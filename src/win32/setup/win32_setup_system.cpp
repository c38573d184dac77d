#include "win32/setup/win32_setup_system.h"

#include <string>

#include "win32/setup/setup_resource.h"
#include "win32/wide_text.h"

namespace qorva {

namespace {

struct CarriedFile {
  const void* bytes = nullptr;
  DWORD size = 0;
};

CarriedFile FindControl(HINSTANCE program) {
  HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(IDR_SETUP_CONTROL), L"" SETUP_CONTROL_TYPE);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(program, found);
  if (!loaded) return {};
  return {LockResource(loaded), SizeofResource(program, found)};
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder, length);
}

}  // namespace

Text Win32SetupSystem::WindowsFolder() const {
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return u"C:\\Windows";
  return FromWide(std::wstring_view(folder, length));
}

bool Win32SetupSystem::IsDirectory(TextView path) const {
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32SetupSystem::FileExists(TextView path) const {
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32SetupSystem::WriteControlFile(TextView path) {
  CarriedFile control = FindControl(program_);
  if (!control.bytes || control.size == 0) return false;
  std::wstring file = Wide(path);
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool complete =
      WriteFile(handle, control.bytes, control.size, &written, nullptr) && written == control.size;
  complete = CloseHandle(handle) && complete;
  // A cut-off control (a full disk) would register as garbage: leave none behind.
  if (!complete) DeleteFileW(file.c_str());
  return complete;
}

std::optional<uint32_t> Win32SetupSystem::RunAndWait(TextView commandLine) {
  std::wstring line = Wide(commandLine);
  std::wstring program = line.substr(0, line.find(L' '));
  if (program.find_first_of(L"\\/:\"") == std::wstring::npos) {
    std::wstring folder = SystemFolder();
    if (folder.empty()) return std::nullopt;
    program = folder + L"\\" + program;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &process))
    return std::nullopt;
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  bool known = GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  if (!known) return std::nullopt;
  return exitCode;
}

bool Win32SetupSystem::RemoveFile(TextView path) { return DeleteFileW(Wide(path).c_str()); }

}  // namespace qorva
