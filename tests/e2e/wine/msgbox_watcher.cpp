// Test helper for the Wine runs: watches for message boxes, writes "[caption] text" of
// each to a file in UTF-8 and dismisses it, until the stop file appears or time runs out.
// Usage: msgbox_watcher.exe OUTPUT STOPFILE SECONDS
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <set>
#include <string>

namespace {

struct Scan {
  std::wstring longest;
};

BOOL CALLBACK CollectText(HWND child, LPARAM data) {
  wchar_t className[32];
  GetClassNameW(child, className, 32);
  if (_wcsicmp(className, L"Static") != 0) return TRUE;
  wchar_t text[1024];
  int length = GetWindowTextW(child, text, 1024);
  auto* scan = reinterpret_cast<Scan*>(data);
  if (length > static_cast<int>(scan->longest.size())) scan->longest.assign(text, length);
  return TRUE;
}

std::string Utf8(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

struct Watch {
  FILE* out;
  std::set<HWND> seen;
};

BOOL CALLBACK Inspect(HWND window, LPARAM data) {
  auto* watch = reinterpret_cast<Watch*>(data);
  wchar_t className[32];
  GetClassNameW(window, className, 32);
  if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  // A dialog that holds dialogs is a property sheet or wizard under test, not a box.
  if (FindWindowExW(window, nullptr, L"#32770", nullptr)) return TRUE;
  if (!watch->seen.insert(window).second) return TRUE;
  wchar_t caption[512];
  int length = GetWindowTextW(window, caption, 512);
  Scan scan;
  EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&scan));
  std::string line = "[" + Utf8(std::wstring(caption, length)) + "] " + Utf8(scan.longest) + "\n";
  fputs(line.c_str(), watch->out);
  fflush(watch->out);
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  FILE* out = _wfopen(argv[1], L"wb");
  if (!out) return 3;
  Watch watch{out, {}};
  DWORD deadline = GetTickCount() + static_cast<DWORD>(_wtoi(argv[3])) * 1000;
  while (GetTickCount() < deadline) {
    EnumWindows(Inspect, reinterpret_cast<LPARAM>(&watch));
    if (GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(50);
  }
  fclose(out);
  return 0;
}
