// The scripting methods through which the hosting page reaches the editor page's two
// dispatchers, "getQORVAMethod" and "setQORVAMethod". Each returns the page's answer as
// text; "" when the function name is empty (no call is made) or the call fails.
#pragma once

#include "base/text.h"

namespace qorva {

class CQorvaeditorCtrl;

// A value for the set dispatcher: "\r\n" becomes "\n", then every "\n" goes; a lone
// carriage return stays.
Text CleanSetValue(TextView value);

Text QorvaGetMethod(CQorvaeditorCtrl& control, TextView strFunctionName);
Text QorvaSetMethod(CQorvaeditorCtrl& control, TextView strFunctionName, TextView strValue1);
Text QorvaSetMethod2(CQorvaeditorCtrl& control, TextView strFunctionName, TextView strValue1,
                     TextView strValue2);
Text QorvaSetMethod3(CQorvaeditorCtrl& control, TextView strFunctionName, TextView strValue1,
                     TextView strValue2, TextView strValue3);

}  // namespace qorva
