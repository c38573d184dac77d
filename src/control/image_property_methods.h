// The image property scripting method: the dialog in the look the page chose, over
// the control's settings, giving the fragment to insert.
#pragma once

#include "base/text.h"

namespace qorva {

class CQorvaeditorCtrl;

// "" when the skin pictures cannot be fetched, or the user cancels.
Text ShowImageProperty(CQorvaeditorCtrl& control, TextView src, TextView width, TextView height,
                       TextView border, TextView align, TextView vspace, TextView hspace,
                       TextView title, TextView alt, TextView title2, TextView href,
                       TextView target);

}  // namespace qorva
