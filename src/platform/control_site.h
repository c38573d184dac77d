// What the control asks of the page that hosts it: its own window (created in place,
// or in a hidden parking window before it is in place), and the host document: its
// address and its print commands.
#pragma once

#include <cstdint>

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
};

}  // namespace qorva
