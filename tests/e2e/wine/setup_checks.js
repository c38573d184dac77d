// After an install: page script creates the control by its program id and calls it.
// Ends with WScript.Quit(failures), since cscript exits 0 on an uncaught exception.
var failures = 0;
try {
  var control = new ActiveXObject("QORVAEDITOR.qorvaeditorCtrl.1");
  var version = control.getQorvaPluginVersion();
  if (!/^1,0,0,[0-9]+$/.test(version)) {
    WScript.Echo("FAIL getQorvaPluginVersion: [" + version + "]");
    failures++;
  }
  control.toSavePathUrl = "uploads";
  if (control.toSavePathUrl !== "uploads") {
    WScript.Echo("FAIL property round trip: [" + control.toSavePathUrl + "]");
    failures++;
  }
} catch (e) {
  WScript.Echo("FAIL create or call: " + e.message);
  failures++;
}
WScript.Quit(failures);
