// getImageWidthHeight as a page calls it: prints the answer for each argument.
var control = new ActiveXObject("QORVAEDITOR.qorvaeditorCtrl.1");
for (var i = 0; i < WScript.Arguments.length; ++i) {
  WScript.Echo("[" + control.getImageWidthHeight(WScript.Arguments(i)) + "]");
}
