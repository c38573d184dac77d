// The paste methods against what clipboard_fill.exe put on the clipboard; the first
// argument names that. Ends with WScript.Quit(failures).
var failures = 0;
function check(name, ok, got) {
  if (!ok) {
    WScript.Echo("FAIL " + name + ": [" + got + "]");
    failures++;
  }
}
var mode = WScript.Arguments(0);
var control;
try {
  control = new ActiveXObject("QORVAEDITOR.qorvaeditorCtrl.1");
} catch (e) {
  WScript.Echo("FAIL create: " + e.message);
  WScript.Quit(100);
}
try {
  if (mode == "text") {
    var html = control.getPasteHtml();
    check("text", html === "a&nbsp;&nbsp;&lt;b&gt;", html);
    check("no picture", control.canPasteImageFromClipBoard() === 0, control.canPasteImageFromClipBoard());
    check("no html", control.getPasteHtmlEx() === "" && control.getHTMLFormatFromType() === 0,
          control.getPasteHtmlEx());
  } else if (mode == "bitmap") {
    check("picture", control.canPasteImageFromClipBoard() === 1, control.canPasteImageFromClipBoard());
    var tag = control.getPasteHtml();
    check("bitmap tag", /^<img style="width:64px; height:32px;" border="0" src="[A-Z]:\\.*\\qorvaTemp\\[0-9a-f]{32}\.jpg" alt="">$/.test(tag), tag);
    var saved = control.ShowImageSaveDlgFromClipboard("PNG");
    check("saved as png", /^<img style="width:64px; height:32px;" border="0" src="file:\/\/\/[A-Z]:\\.*\\qorvaTemp\\([0-9a-f]{32})\.png" alt="\1\.png">$/.test(saved), saved);
  } else if (mode == "html") {
    var cleaned = control.getPasteHtml();
    check("html", cleaned.indexOf("<b>bold</b>") >= 0 && cleaned.indexOf("Version:") < 0, cleaned);
    check("raw html kept", control.getPasteHtmlEx().indexOf("Version:") === 0, control.getPasteHtmlEx());
    check("fragment", control.getOriginalHtml("fragment") === "<!--StartFragment--><b>bold</b><!--EndFragment-->",
          control.getOriginalHtml("fragment"));
  } else {
    check("mode", false, mode);
  }
} catch (e) {
  WScript.Echo("FAIL exception: " + e.message);
  failures++;
}
WScript.Quit(failures);
