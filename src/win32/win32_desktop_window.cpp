// The command on Windows hosts no embedded browser of its own: the control's container
// mode runs inside a browser page there.
#include "platform/native_desktop_window.h"

namespace qorva {

std::unique_ptr<DesktopWindow> CreateNativeDesktopWindow(TextView) { return nullptr; }

}  // namespace qorva
