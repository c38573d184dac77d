// An embedded browser without an engine: the scene says which page loads and what its
// script functions answer, and reads back what the control asked of the browser.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/embedded_browser.h"

namespace qorva {

// A loaded document whose script functions are given by the scene. A name it does not
// have fails as an unknown name does.
class MemoryPage final : public PageDocument {
 public:
  using Function = std::function<PageCallOutcome(std::span<const Text> arguments)>;
  struct Call {
    Text name;
    std::vector<Text> arguments;
  };

  PageCallOutcome CallFunction(TextView name, std::span<const Text> arguments) override;

  // A function answering `value` to every call.
  void Define(Text name, const PageValue& value);
  void Define(Text name, Function function) { functions_[std::move(name)] = std::move(function); }

  bool hasScript = true;
  const std::vector<Call>& calls() const { return calls_; }

 private:
  std::map<Text, Function> functions_;
  std::vector<Call> calls_;
};

class MemoryBrowser final : public EmbeddedBrowser {
 public:
  explicit MemoryBrowser(std::function<void(TextView url)> onComplete)
      : onComplete_(std::move(onComplete)) {}

  bool HasWindow() const override { return hasWindow; }
  void SetSilent(bool silent) override { this->silent = silent; }
  void Navigate(TextView url) override { navigations.emplace_back(url); }
  void MoveWindow(const Rect& rect, Repaint repaint) override { moves.push_back({rect, repaint}); }
  std::shared_ptr<PageDocument> Document() override { return document; }
  void ForwardKeyDown(const KeyMessage& message) override { keys.push_back(message); }

  // The browser reports a completed document, as the engine would.
  void Complete(TextView url) { onComplete_(url); }

  struct Move {
    Rect rect;
    Repaint repaint;
  };
  bool hasWindow = true;
  bool silent = false;
  std::vector<Text> navigations;
  std::vector<Move> moves;
  std::vector<KeyMessage> keys;
  std::shared_ptr<MemoryPage> document;

 private:
  std::function<void(TextView url)> onComplete_;
};

}  // namespace qorva
