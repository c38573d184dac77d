// A top-level window of the desktop that stands in for the control's window when the
// command hosts the control itself, with the desktop's event loop.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "platform/control_site.h"

namespace qorva {

class DesktopWindow : public ControlSite {
 public:
  // What the window tells the control; each may be empty.
  struct Handlers {
    std::function<void()> created;
    std::function<bool(uint32_t id)> timer;  // false: not the control's timer
    std::function<void()> resized;
  };

  virtual void SetHandlers(Handlers handlers) = 0;
  // Runs the event loop until `done` answers true, the window is closed or `timeout`
  // passes; false only when the time ran out.
  virtual bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) = 0;
  // Runs the event loop until the window is closed.
  virtual void RunUntilClosed() = 0;
  virtual bool Closed() const = 0;
  // The window goes when this object does, after the control that used it.
};

// Null where the desktop cannot be reached (no display) or the platform hosts no
// browser in the command.
std::unique_ptr<DesktopWindow> CreateNativeDesktopWindow(TextView title);

}  // namespace qorva
