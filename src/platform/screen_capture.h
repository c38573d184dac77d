// The screen's pixels, for the photo editor's captures: the whole primary screen, or the
// top-level window the control runs in, frame included. While it captures, the back end
// steps the editor aside (hides it, and for the whole screen the browser window too, then
// gives the desktop time to repaint) and brings it back afterwards.
#pragma once

#include <optional>

#include "graphics/bitmap.h"

namespace qorva {

enum class CaptureArea {
  kWholeScreen,
  kBrowserWindow,
};

class ScreenCapture {
 public:
  virtual ~ScreenCapture() = default;

  // The area's pixels, opaque; none when there is no screen to read or no such window.
  virtual std::optional<Bitmap> Capture(CaptureArea area) = 0;
};

}  // namespace qorva
