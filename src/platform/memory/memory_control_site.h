// A site without a real window: it keeps the window's rectangle and the host
// document's URL the scene gives it.
#pragma once

#include "platform/control_site.h"

namespace qorva {

class MemoryControlSite final : public ControlSite {
 public:
  explicit MemoryControlSite(Text hostDocumentUrl = {}) : url_(std::move(hostDocumentUrl)) {}

  bool EnsureWindow() override {
    windowCreated_ = true;
    return true;
  }
  Rect ClientRect() const override { return {0, 0, window_.width(), window_.height()}; }
  void MoveWindow(const Rect& rect, Repaint) override { window_ = rect; }
  void MarkModified() override { ++modifiedCount_; }
  Text HostDocumentUrl() const override { return url_; }

  bool windowCreated() const { return windowCreated_; }
  const Rect& window() const { return window_; }
  int modifiedCount() const { return modifiedCount_; }

 private:
  Text url_;
  bool windowCreated_ = false;
  Rect window_;
  int modifiedCount_ = 0;
};

}  // namespace qorva
