// A site without a real window: it keeps the window's rectangle and the host
// document's URL the scene gives it. A host document exists when it has a URL; its
// commands are recorded, not run.
#pragma once

#include <vector>

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
  void RunHostDocumentCommand(HostDocumentCommand command) override {
    if (!url_.empty()) commandsRun_.push_back(command);
  }

  bool windowCreated() const { return windowCreated_; }
  const Rect& window() const { return window_; }
  int modifiedCount() const { return modifiedCount_; }
  const std::vector<HostDocumentCommand>& commandsRun() const { return commandsRun_; }

 private:
  Text url_;
  bool windowCreated_ = false;
  Rect window_;
  int modifiedCount_ = 0;
  std::vector<HostDocumentCommand> commandsRun_;
};

}  // namespace qorva
