// Test helper for the Wine runs: describes the wizard on screen (the visible top-level
// dialog that holds dialogs) the way an accessibility tool would, in UTF-8 on stdout:
//   window "TITLE" sysmenu=0|1
//   CLASS id=ID enabled=0|1 checked=0|1 at=X,Y size=W,H "TEXT"
// one line per visible control, X,Y its centre in the wizard's client area (where a click
// lands on it), W,H its size. Exits 1 when no wizard is shown.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  return out;
}

BOOL CALLBACK FindWizard(HWND window, LPARAM found) {
  wchar_t className[32];
  GetClassNameW(window, className, 32);
  if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  if (!FindWindowExW(window, nullptr, L"#32770", nullptr)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

BOOL CALLBACK Describe(HWND child, LPARAM wizard) {
  if (!IsWindowVisible(child)) return TRUE;
  wchar_t className[64];
  GetClassNameW(child, className, 64);
  wchar_t text[512];
  GetWindowTextW(child, text, 512);
  bool button = _wcsicmp(className, L"Button") == 0;
  int checked = button && SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
  RECT box;
  GetWindowRect(child, &box);
  POINT centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  ScreenToClient(reinterpret_cast<HWND>(wizard), &centre);
  std::printf("%s id=%d enabled=%d checked=%d at=%ld,%ld size=%ld,%ld \"%s\"\n",
              Utf8(className).c_str(), GetDlgCtrlID(child), IsWindowEnabled(child) ? 1 : 0, checked,
              centre.x, centre.y, box.right - box.left, box.bottom - box.top, Utf8(text).c_str());
  return TRUE;
}

}  // namespace

int wmain() {
  HWND wizard = nullptr;
  EnumWindows(FindWizard, reinterpret_cast<LPARAM>(&wizard));
  if (!wizard) return 1;
  wchar_t title[256];
  GetWindowTextW(wizard, title, 256);
  bool sysmenu = (GetWindowLongPtrW(wizard, GWL_STYLE) & WS_SYSMENU) != 0;
  std::printf("window \"%s\" sysmenu=%d\n", Utf8(title).c_str(), sysmenu ? 1 : 0);
  EnumChildWindows(wizard, Describe, reinterpret_cast<LPARAM>(wizard));
  return 0;
}
