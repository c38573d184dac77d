// MIME to HTML: the HTML part of a message, with every "cid:" reference to a part that
// the message carries turned into a "file:///" URL of that part saved in the working
// folder.
#pragma once

#include "base/text.h"

namespace qorva {

class System;

// "" when the text is empty, does not parse or holds no HTML part.
Text QorvaDecodeMime(System& system, TextView strMime);

}  // namespace qorva
