// A site without a real window: it keeps the window's rectangle and the host
// document's URL the scene gives it. A host document exists when it has a URL; its
// commands are recorded, not run. A browser is created only when the scene allows it,
// and timers are recorded; the scene ticks them through the control.
#pragma once

#include <map>
#include <vector>

#include "platform/control_site.h"
#include "platform/memory/memory_browser.h"

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

  std::unique_ptr<EmbeddedBrowser> CreateBrowser(
      std::function<void(TextView url)> onComplete) override {
    if (!browserAvailable) return nullptr;
    auto created = std::make_unique<MemoryBrowser>(std::move(onComplete));
    browser_ = created.get();
    return created;
  }
  uint32_t SetTimer(uint32_t id, uint32_t periodMs) override {
    if (!timersAvailable) return 0;
    timers_[id] = periodMs;
    return id;
  }
  void KillTimer(uint32_t id) override { timers_.erase(id); }

  bool browserAvailable = false;
  bool timersAvailable = true;
  // The browser created last; it lives as long as the control keeps it.
  MemoryBrowser* browser() const { return browser_; }
  // The running timers and their periods.
  const std::map<uint32_t, uint32_t>& timers() const { return timers_; }

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
  MemoryBrowser* browser_ = nullptr;
  std::map<uint32_t, uint32_t> timers_;
};

}  // namespace qorva
