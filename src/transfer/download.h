// The download of one resource by HTTP GET into a local file, used for the remote
// images the MIME encoder embeds and for the skin pictures of the image dialogs.
#pragma once

#include "base/text.h"

namespace qorva {

class HttpClient;
class System;

// Fetches `requestPath` (sent as the request target exactly as given) from the server
// of `serverUrl`, whose scheme, host and port count and whose path is ignored, and
// stores the body in the file `localPath` proposes, replacing an existing file.
//
// When that file cannot be created, or its name holds a character that Windows refuses
// in file names (callers pass "?.jpg" to mean "no name of my own"), the file goes into
// the working folder under NewUniqueName with the extension of the response's content
// type instead, and `localPath` then holds that path.
//
// True when the whole body was written. False when the server cannot be reached,
// answers with a status of 400 or more (no file is created then), or the body cannot
// be read or written to its end (a file created before stays behind, incomplete).
// Blocks until done; the HTTP client's time-outs bound every wait.
bool DownloadToFile(HttpClient& http, System& system, TextView serverUrl, TextView requestPath,
                    Text& localPath);

// The content type named in raw response headers: the first line after the status line
// containing "content-type:" in any letter case gives the text after its first ":",
// trimmed and lower-cased. The search ends after the second line that names a content
// type or a file name for the body. "" when there is none.
Text ContentTypeFromHeaders(TextView rawHeaders);

}  // namespace qorva
