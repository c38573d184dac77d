// The image dialogs as a page calls them. "fetch": showImageProperty twice on one control
// without a resource URL, so each call shows the resource message and returns "".
// "sheets": the image property sheet and the image type sheet, each left to a person (the
// test script drives them from outside); prints each call's result.
var mode = WScript.Arguments.length > 0 ? WScript.Arguments(0) : "fetch";
var control = new ActiveXObject("QORVAEDITOR.qorvaeditorCtrl.1");
if (mode == "fetch") {
  for (var i = 1; i <= 2; i++) {
    var result = control.showImageProperty("", "300", "200", "", "", "", "", "", "", "", "", "");
    WScript.Echo("call" + i + "=[" + result + "]");
  }
} else {
  control.imagePropStyle = "0";
  WScript.Echo("sheet=[" + control.showImageProperty("file:///C:/photo.png", "300", "200", "",
      "", "", "", "a \"quoted\" title", "", "", "http://example.com/", "self") + "]");
  WScript.Echo("type=[" + control.ShowImageSaveDlgFromClipboard("") + "]");
}
