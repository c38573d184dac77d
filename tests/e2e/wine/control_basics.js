// Drives the registered control the way page script does. Ends with WScript.Quit(failures),
// since cscript prints nothing and exits 0 on an uncaught exception.
var failures = 0;
function check(name, got, want) {
  if (got !== want) {
    WScript.Echo("FAIL " + name + ": got [" + got + "] want [" + want + "]");
    failures++;
  }
}
var control;
try {
  control = new ActiveXObject("QORVAEDITOR.qorvaeditorCtrl.1");
} catch (e) {
  WScript.Echo("FAIL create: " + e.message);
  WScript.Quit(100);
}
try {
  check("setQorvaInit", control.setQorvaInit(), "");
  var version = control.getQorvaPluginVersion();
  check("getQorvaPluginVersion", /^1,0,0,[0-9]+$/.test(version), true);

  control.toSavePathUrl = "uploads";
  check("member property", control.toSavePathUrl, "uploads");
  control.TOSAVEPATHURL = "upper";  // names match without regard to case
  check("case-insensitive name", control.toSavePathUrl, "upper");
  control.width = 320;
  check("width", control.width, 320);
  control.useLog = "2";  // a string for an integer property
  check("coerced property", control.useLog, 2);

  control.SetImagePropMode(0);
  check("SetImagePropMode(0)", control.imagePropStyle, "0");
  control.SetImagePropMode("5");
  check("SetImagePropMode(\"5\")", control.imagePropStyle, "1");
  check("getHTMLFormatFromType", control.getHTMLFormatFromType(), 0);

  var threw = false;
  try { control.SetImagePropMode("five"); } catch (e) { threw = true; }
  check("type mismatch raises", threw, true);

  // Guard A in container mode and guard B outside it show their message boxes.
  control.hasContainer = 1;
  check("guard A result", control.getQorvaPluginVersion(), "");
  control.hasContainer = 0;
  check("guard B result", control.QORVAGetMethod("get_editor_status"), "");
  control.systemTitle = "0";  // the caption takes the member at the next exchange only
  check("guard A outside container", control.getQorvaPluginVersion(), version);
} catch (e) {
  WScript.Echo("FAIL exception: " + e.message);
  failures++;
}
WScript.Quit(failures);
