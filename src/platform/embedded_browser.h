// The web browser child that shows the editor page in container mode.
#pragma once

#include "base/text.h"
#include "platform/control_site.h"

namespace qorva {

class EmbeddedBrowser {
 public:
  virtual ~EmbeddedBrowser() = default;

  virtual bool HasWindow() const = 0;
  // Silent mode suppresses the browser's own script error dialogs.
  virtual void SetSilent(bool silent) = 0;
  virtual void Navigate(TextView url) = 0;
  virtual void MoveWindow(const Rect& rect, Repaint repaint) = 0;
};

}  // namespace qorva
