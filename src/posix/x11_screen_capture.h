// The screen capture port on an X11 display (the one $DISPLAY names): the root window's
// pixels, all of them or the rectangle of the top-level window that holds the input
// focus, its window manager frame included. No window of ours covers the screen while
// the command runs, so nothing steps aside.
#pragma once

#include "platform/screen_capture.h"

namespace qorva {

class X11ScreenCapture final : public ScreenCapture {
 public:
  // None when the display cannot be opened, or for the browser window when no
  // top-level window has the focus.
  std::optional<Bitmap> Capture(CaptureArea area) override;
};

}  // namespace qorva
