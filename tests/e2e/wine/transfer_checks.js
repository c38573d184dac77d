// The methods that write files, build and read MIME messages and upload, on the Windows
// back ends: the working folder under the user's Temp, the registry's content types, and
// WinINet against the PHP upload page the runner serves.
// Arguments: the upload page's URL, then a file holding a PNG picture in base64.
// Ends with WScript.Quit(failures).
var failures = 0;
function check(name, ok, got) {
  if (!ok) {
    WScript.Echo("FAIL " + name + ": [" + got + "]");
    failures++;
  }
}
function has(text, part) { return String(text).indexOf(part) >= 0; }

var uploadPage = WScript.Arguments(0);
var fso = new ActiveXObject("Scripting.FileSystemObject");
var base64 = fso.OpenTextFile(WScript.Arguments(1)).ReadAll().replace(/\s+/g, "");
var control;
try {
  control = new ActiveXObject("QORVAEDITOR.qorvaeditorCtrl.1");
} catch (e) {
  WScript.Echo("FAIL create: " + e.message);
  WScript.Quit(100);
}
try {
  var picture = control.getLocalImageFromBase64Image(base64, "PNG");
  check("picture in the working folder", /\\qorvaTemp\\[0-9a-f]{32}\.png$/.test(picture), picture);
  check("picture written", fso.FileExists(picture), picture);
  var size = fso.GetFile(picture).Size;
  check("picture size", size === base64.length / 4 * 3 - (base64.match(/=*$/)[0].length), size);
  check("refused extension", control.getLocalImageFromBase64Image(base64, "..\\x") === "", "");

  // A page with the picture and a file, encoded and decoded again.
  control.mimeCharset = "utf-8";
  control.mimeSetListInit();
  control.mimeAddEncodingFile(picture, 0);
  var html = "<html><body><p>\ud55c\uae00</p><img src=\"file:///" + picture + "\"></body></html>";
  var message = control.QorvaEncodeMime(html, 0);
  check("multipart", has(message, "Content-Type: multipart/related;"), message.substr(0, 300));
  check("content id", /\r\nContent-ID: <[0-9a-f]{32}@[^>]+>\r\n/.test(message), message.substr(0, 900));
  check("content type from the registry", has(message, "Content-Type: image/png"), message);
  check("CR LF line ends", message.split("\r\n").length === message.split("\n").length, "");

  var decoded = control.QorvaDecodeMime(message);
  var copy = /src="file:\/\/\/([^"]+)"/.exec(decoded);
  check("decoded reference", copy !== null, decoded);
  if (copy) {
    var path = copy[1].replace(/\//g, "\\");
    check("decoded copy", fso.FileExists(path) && fso.GetFile(path).Size === size, path);
  }
  check("decoded text", has(decoded, "\ud55c\uae00"), decoded);

  // WinINet: the form fields and the file reach PHP's parser.
  control.postPageURL = uploadPage;
  control.SetToSavePathURL("wine/uploads");  // this setter writes the upload settings
  var report = control.postImageToServer(picture);
  check("protocol", has(report, "protocol=HTTP%2F1.0"), report);
  check("extension field", has(report, "field.savefileext=png"), report);
  check("save path field", has(report, "field.tosavepathurl=wine%2Fuploads"), report);
  check("file size", has(report, "file.file1.size=" + size), report);
  check("file received", has(report, "file.file1.error=0"), report);
  control.postPageURL = uploadPage + "?answer=fail";
  check("500 gives the path back", control.postImageToServer(picture) === picture, "");
  control.postPageURL = uploadPage + "?answer=empty";
  check("200 with an empty body", control.postImageToServer(picture) === "", "");
  control.postPageURL = uploadPage;
  var missing = picture.replace(/\.png$/, "-missing.png");
  check("missing file", control.postImageToServer(missing) === missing, "");
  // Page script may not send a file the control does not know; this comes last, so the
  // runner's check of the last upload's bytes shows it never reached the server.
  var foreign = "C:\\windows\\win.ini";
  check("a file of unknown provenance is refused", control.postImageToServer(foreign) === foreign, "");
} catch (e) {
  WScript.Echo("FAIL exception: " + e.message);
  failures++;
}
WScript.Quit(failures);
