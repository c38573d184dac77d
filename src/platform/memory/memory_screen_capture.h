// A screen held in memory: the picture a test or the command sets stands for the whole
// screen, and another for the browser window; without one, a capture finds nothing.
#pragma once

#include <optional>
#include <vector>

#include "platform/screen_capture.h"

namespace qorva {

class MemoryScreenCapture final : public ScreenCapture {
 public:
  std::optional<Bitmap> Capture(CaptureArea area) override {
    captures_.push_back(area);
    return area == CaptureArea::kWholeScreen ? screen_ : browserWindow_;
  }

  void SetScreen(std::optional<Bitmap> screen) { screen_ = std::move(screen); }
  void SetBrowserWindow(std::optional<Bitmap> window) { browserWindow_ = std::move(window); }
  // The areas asked for, in order.
  const std::vector<CaptureArea>& captures() const { return captures_; }

 private:
  std::optional<Bitmap> screen_;
  std::optional<Bitmap> browserWindow_;
  std::vector<CaptureArea> captures_;
};

}  // namespace qorva
