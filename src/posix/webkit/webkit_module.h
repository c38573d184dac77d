// The entry point of the browser module: the command loads WebKitGTK and GTK only when it
// opens a window, so every other command starts without them.
#pragma once

#include <cstddef>

namespace qorva {
class DesktopWindow;
}

// The module's one exported symbol. Answers a new window the caller owns, or null when GTK
// cannot reach a display. `title` is UTF-16 of `length` units.
extern "C" qorva::DesktopWindow* QorvaCreateWebKitDesktopWindow(const char16_t* title,
                                                                std::size_t length);

inline constexpr const char* kWebKitModuleName = "qorva_webkit.so";
inline constexpr const char* kWebKitModuleEntry = "QorvaCreateWebKitDesktopWindow";
