#include "win32/win32_screen_capture.h"

#include <memory>

#include "platform/native_screen_capture.h"
#include "win32/dib_info.h"

namespace qorva {

namespace {

constexpr DWORD kRepaintWaitMs = 300;

// The screen rectangle's pixels through a compatible bitmap.
std::optional<Bitmap> CopyScreen(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  std::optional<Bitmap> bitmap = Bitmap::Create(width, height, PixelFormat::kRgb24);
  if (!bitmap) return std::nullopt;
  HDC screen = GetDC(nullptr);
  if (!screen) return std::nullopt;
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP pixels = CreateCompatibleBitmap(screen, width, height);
  bool copied = false;
  if (memory && pixels) {
    HGDIOBJ before = SelectObject(memory, pixels);
    copied =
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT) != 0;
    SelectObject(memory, before);
  }
  if (copied) {
    BITMAPINFO header = TopDownRgb24Info(width, height);
    copied = GetDIBits(screen, pixels, 0, static_cast<UINT>(height), bitmap->Row(0), &header,
                       DIB_RGB_COLORS) == height;
  }
  if (pixels) DeleteObject(pixels);
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) return std::nullopt;
  return bitmap;
}

void Show(HWND window) {
  if (window) ShowWindow(window, SW_SHOW);
}

void Hide(HWND window) {
  if (window) ShowWindow(window, SW_HIDE);
}

}  // namespace

std::optional<Bitmap> Win32ScreenCapture::Capture(CaptureArea area) {
  HWND control = control_ ? control_() : nullptr;
  HWND browser = control ? GetAncestor(control, GA_ROOT) : nullptr;
  // The modal editor is the active window of this thread; the browser itself is not.
  HWND dialog = GetActiveWindow();
  if (dialog == browser || dialog == control) dialog = nullptr;
  HWND owner = dialog ? GetWindow(dialog, GW_OWNER) : nullptr;
  if (!owner) owner = browser;

  if (area == CaptureArea::kWholeScreen) {
    Hide(dialog);
    Hide(owner);
    Sleep(kRepaintWaitMs);
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::optional<Bitmap> pixels = CopyScreen(screen);
    Show(owner);
    Show(dialog);
    if (dialog) BringWindowToTop(dialog);
    return pixels;
  }

  if (!owner) return std::nullopt;
  Hide(dialog);
  BringWindowToTop(owner);
  Sleep(kRepaintWaitMs);
  RECT frame{};
  std::optional<Bitmap> pixels;
  if (GetWindowRect(owner, &frame)) pixels = CopyScreen(frame);
  Show(dialog);
  // The dialog, owned by the browser window, stays above it.
  BringWindowToTop(owner);
  return pixels;
}

std::unique_ptr<ScreenCapture> CreateNativeScreenCapture() {
  return std::make_unique<Win32ScreenCapture>(nullptr);
}

}  // namespace qorva
