// The screen capture port on the Win32 screen: the screen's drawing surface copied into
// a compatible bitmap. The editor dialog is the thread's active window while it runs; it
// is hidden for the capture (and the browser window too for the whole screen), the
// desktop gets 300 ms to repaint, and both come back afterwards.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/screen_capture.h"

namespace qorva {

class Win32ScreenCapture final : public ScreenCapture {
 public:
  // `control` yields the control's window, whose top-level window is the browser's.
  explicit Win32ScreenCapture(std::function<HWND()> control) : control_(std::move(control)) {}

  std::optional<Bitmap> Capture(CaptureArea area) override;

 private:
  std::function<HWND()> control_;
};

}  // namespace qorva
