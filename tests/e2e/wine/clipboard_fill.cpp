// Test helper for the Wine runs: puts one thing on the Windows clipboard.
// Usage: clipboard_fill.exe text TEXT | html FILE | bitmap WIDTH HEIGHT | empty
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool PutBlock(UINT format, const void* data, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return false;
  std::memcpy(GlobalLock(block), data, size);
  GlobalUnlock(block);
  if (SetClipboardData(format, block)) return true;
  GlobalFree(block);
  return false;
}

bool PutBitmap(int width, int height) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(RGB(200, 30, 30));
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return SetClipboardData(CF_BITMAP, bitmap) != nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || !OpenClipboard(nullptr)) return 2;
  EmptyClipboard();
  std::wstring what = argv[1];
  bool ok = true;
  if (what == L"text" && argc == 3) {
    std::wstring text = argv[2];
    ok = PutBlock(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  } else if (what == L"html" && argc == 3) {
    FILE* in = _wfopen(argv[2], L"rb");
    std::string bytes;
    char buffer[4096];
    for (size_t got; in && (got = fread(buffer, 1, sizeof buffer, in)) > 0;)
      bytes.append(buffer, got);
    if (in) fclose(in);
    ok = in && PutBlock(RegisterClipboardFormatW(L"HTML Format"), bytes.c_str(), bytes.size() + 1);
  } else if (what == L"bitmap" && argc == 4) {
    ok = PutBitmap(_wtoi(argv[2]), _wtoi(argv[3]));
  } else if (what != L"empty") {
    ok = false;
  }
  CloseClipboard();
  return ok ? 0 : 1;
}
