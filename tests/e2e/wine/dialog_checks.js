// showImageProperty as a page calls it, twice on one control: without a resource URL the
// skin pictures cannot be fetched, so each call shows the resource message and returns "".
var control = new ActiveXObject("QORVAEDITOR.qorvaeditorCtrl.1");
for (var i = 1; i <= 2; i++) {
  var result = control.showImageProperty("", "300", "200", "", "", "", "", "", "", "", "", "");
  WScript.Echo("call" + i + "=[" + result + "]");
}
