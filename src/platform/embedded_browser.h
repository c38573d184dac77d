// The web browser child that shows the editor page in container mode, and the script of
// the document it loaded.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "base/text.h"
#include "platform/control_site.h"

namespace qorva {

enum class PageCallStatus {
  kOk,
  kNoScript,  // the document has no script object to call into
  kFailed,    // the name is unknown to the script, or the call itself failed
};

// What a page function returned, as the automation value it becomes.
struct PageValue {
  enum class Kind { kEmpty, kString, kInteger, kDouble, kBoolean };
  Kind kind = Kind::kEmpty;
  Text text;
  int32_t integer = 0;
  double number = 0;
  bool boolean = false;
};

struct PageCallOutcome {
  PageCallStatus status = PageCallStatus::kFailed;
  PageValue value;
  // For kFailed: the system's text for the failure; "" when the system has none.
  Text failureText;
};

// The script of one loaded document.
class PageDocument {
 public:
  virtual ~PageDocument() = default;
  // Calls the page's script function `name` with `arguments` in order.
  virtual PageCallOutcome CallFunction(TextView name, std::span<const Text> arguments) = 0;
};

// A key message as the control's window received it, forwarded to the loaded document.
struct KeyMessage {
  uintptr_t window = 0;
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

class EmbeddedBrowser {
 public:
  // Called when a document (the page or one of its frames) has loaded, with its URL.
  using DocumentComplete = std::function<void(TextView url)>;

  virtual ~EmbeddedBrowser() = default;

  virtual bool HasWindow() const = 0;
  // Silent mode suppresses the browser's own script error dialogs.
  virtual void SetSilent(bool silent) = 0;
  virtual void Navigate(TextView url) = 0;
  virtual void MoveWindow(const Rect& rect, Repaint repaint) = 0;
  // The document loaded last; null when there is none or it is not an HTML document.
  virtual std::shared_ptr<PageDocument> Document() = 0;
  // Gives a key-down message to the document's accelerator handling.
  virtual void ForwardKeyDown(const KeyMessage& message) = 0;
};

}  // namespace qorva
