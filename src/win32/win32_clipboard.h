// The clipboard port on the Win32 clipboard, opened for the control's window.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/clipboard.h"

namespace qorva {

class Win32Clipboard final : public Clipboard {
 public:
  // `owner` yields the window that opens the clipboard at the time it is opened.
  explicit Win32Clipboard(std::function<HWND()> owner) : owner_(std::move(owner)) {}

  std::unique_ptr<ClipboardAccess> Open() override;

 private:
  std::function<HWND()> owner_;
};

}  // namespace qorva
