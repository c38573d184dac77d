#include "control/bridge_methods.h"

#include <vector>

#include "control/qorvaeditor_ctrl.h"

namespace qorva {

namespace {

constexpr TextView kGetDispatcher = u"getQORVAMethod";
constexpr TextView kSetDispatcher = u"setQORVAMethod";

Text CallDispatcher(CQorvaeditorCtrl& control, TextView dispatcher, TextView functionName,
                    std::vector<Text> values) {
  if (functionName.empty()) return {};
  values.insert(values.begin(), Text(functionName));
  Variant result;
  if (!control.jsWebPage.CallPageFunction(dispatcher, values, &result)) return {};
  return VariantToText(result);
}

}  // namespace

Text CleanSetValue(TextView value) {
  Text cleaned(value);
  ReplaceAll(cleaned, u"\r\n", u"\n");
  ReplaceAll(cleaned, u"\n", u"");
  return cleaned;
}

Text QorvaGetMethod(CQorvaeditorCtrl& control, TextView strFunctionName) {
  return CallDispatcher(control, kGetDispatcher, strFunctionName, {Text()});
}

Text QorvaSetMethod(CQorvaeditorCtrl& control, TextView strFunctionName, TextView strValue1) {
  return CallDispatcher(control, kSetDispatcher, strFunctionName, {CleanSetValue(strValue1)});
}

Text QorvaSetMethod2(CQorvaeditorCtrl& control, TextView strFunctionName, TextView strValue1,
                     TextView strValue2) {
  return CallDispatcher(control, kSetDispatcher, strFunctionName,
                        {CleanSetValue(strValue1), CleanSetValue(strValue2)});
}

Text QorvaSetMethod3(CQorvaeditorCtrl& control, TextView strFunctionName, TextView strValue1,
                     TextView strValue2, TextView strValue3) {
  return CallDispatcher(
      control, kSetDispatcher, strFunctionName,
      {CleanSetValue(strValue1), CleanSetValue(strValue2), CleanSetValue(strValue3)});
}

}  // namespace qorva
