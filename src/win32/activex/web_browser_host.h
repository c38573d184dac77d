// The embedded browser on Windows: the system web browser control hosted in a child
// window "QORVIE" of the control's window, through an OLE container site of our own.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "platform/embedded_browser.h"

namespace qorva {

inline constexpr wchar_t kBrowserWindowName[] = L"QORVIE";
inline constexpr int kBrowserControlId = 0x111111;

// Null when the host window or the browser control cannot be created.
std::unique_ptr<EmbeddedBrowser> CreateWebBrowserHost(HWND parent,
                                                      std::function<void(TextView url)> onComplete);

// The system's text for `code` in the neutral language; "" when it has none.
Text SystemMessageText(HRESULT code);

}  // namespace qorva
