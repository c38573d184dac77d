// What the control asks of the page that hosts it: its own window (created in place,
// or in a hidden parking window before it is in place), and the host document: its
// address and its print commands.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/text.h"

namespace qorva {

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

enum class Repaint { kNo, kYes };

enum class HostDocumentCommand { kPrintPreview, kPrint };

class EmbeddedBrowser;

class ControlSite {
 public:
  virtual ~ControlSite() = default;

  // Makes sure the control has a window; false when none could be created.
  virtual bool EnsureWindow() = 0;
  virtual Rect ClientRect() const = 0;
  virtual void MoveWindow(const Rect& rect, Repaint repaint) = 0;
  // Tells the host that the persistent state changed.
  virtual void MarkModified() = 0;
  // The URL of the document hosting the control; "" when the site, its container or
  // its document cannot be reached.
  virtual Text HostDocumentUrl() const = 0;
  // Runs `command` in the document hosting the control; whether the browser shows a
  // dialog is its own matter. Nothing happens when the site, its container or its
  // document cannot be reached.
  virtual void RunHostDocumentCommand(HostDocumentCommand command) = 0;

  // Creates the embedded browser as a visible child of the control's window with an
  // empty rectangle, answering its host questions as the editor page needs (no context
  // menu, border, scroll bars or toolbars; the external object). `onComplete` is called
  // on the window's thread for every document it completes. Null when it cannot be made.
  virtual std::unique_ptr<EmbeddedBrowser> CreateBrowser(
      std::function<void(TextView url)> onComplete) = 0;
  // Starts a repeating timer on the control's window; the window gives each tick to the
  // control's OnTimer. Returns the timer's id, 0 when none could be started.
  virtual uint32_t SetTimer(uint32_t id, uint32_t periodMs) = 0;
  virtual void KillTimer(uint32_t id) = 0;
};

}  // namespace qorva
