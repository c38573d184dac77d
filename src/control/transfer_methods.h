// The upload scripting method of the control, on its post page and the storage
// settings of the settings record.
#pragma once

#include "base/text.h"

namespace qorva {

class CQorvaeditorCtrl;

Text PostImageToServerFor(CQorvaeditorCtrl& control, TextView strLocalPath);

}  // namespace qorva
