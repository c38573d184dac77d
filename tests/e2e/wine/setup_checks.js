// After an install: page script creates the control by its program id and calls it. With
// the argument "refused", an administrator's list of pages is in force, which a script
// with no page is not on: the control is created but answers only failure values.
// Ends with WScript.Quit(failures), since cscript exits 0 on an uncaught exception.
var failures = 0;
var refused = WScript.Arguments.length > 0 && WScript.Arguments(0) === "refused";
try {
  var control = new ActiveXObject("QORVAEDITOR.qorvaeditorCtrl.1");
  var version = control.getQorvaPluginVersion();
  if (refused ? version !== "" : !/^1,0,0,[0-9]+$/.test(version)) {
    WScript.Echo("FAIL getQorvaPluginVersion: [" + version + "]");
    failures++;
  }
  control.toSavePathUrl = "uploads";
  if (control.toSavePathUrl !== (refused ? "" : "uploads")) {
    WScript.Echo("FAIL property round trip: [" + control.toSavePathUrl + "]");
    failures++;
  }
} catch (e) {
  WScript.Echo("FAIL create or call: " + e.message);
  failures++;
}
WScript.Quit(failures);
