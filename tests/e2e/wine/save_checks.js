// doSaveHTML as a page calls it; the save dialog is answered from outside. Prints the
// path the control returned.
var control = new ActiveXObject("QORVAEDITOR.qorvaeditorCtrl.1");
var html = "<p>a</p>\n<p>b</p>\r\nc\rd";
WScript.Echo("result=[" + control.doSaveHTML(html, WScript.Arguments(0), WScript.Arguments(1), "") + "]");
