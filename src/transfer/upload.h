// The upload of one local file to the server's upload page as an HTTP multipart form,
// and the URL cracking that the download shares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/text.h"
#include "platform/http_client.h"

namespace qorva {

struct Platform;
class System;

// Files go up and responses come down in blocks of this many bytes.
constexpr size_t kTransferBlockSize = 102400;

// The port of `url`: the digits after a second ":" (the one after the scheme's), 443
// for an https URL without a port, else 80. A port of 0, or none where one is named
// but empty, gives 80; a number beyond 65535 comes back as 65536, which no connection
// accepts.
uint32_t UrlPort(TextView url);
// The text after the first "//" up to the next "/", cut before any ":"; empty without
// "//" or without a "/" after the host.
Text UrlHostName(TextView url);
// True when the URL's first five characters are "https" in any letter case.
bool UrlIsSecure(TextView url);

// "qorvaeditor" followed by the time in seconds (its low 32 bits) in lower-case hex.
Text TransferUserAgent(uint64_t unixSeconds);
// The form boundary: "----" and both numbers as eight lower-case hex digits.
Text FormBoundary(uint32_t threadId, uint32_t tickCount);
// Seconds since 1970, for the user agent.
uint64_t CurrentUnixSeconds();

// The storage settings the upload page receives beside the file.
struct UploadForm {
  Text uploadType;
  Text serverDomain;
  Text toSavePathUrl;
  Text saveFolderNameRule;
  Text saveFileNameRule;
};

// Posts the file at `localPath` to `postPageURL` with the storage settings of `form`.
// The server's answer (its first block, read in the ANSI code page)
// on a status below 400, "" when the status cannot be read; none on any failure,
// including a status of 400 or more and a file that cannot be read to its end.
std::optional<Text> UploadFile(HttpClient& http, const System& system, TextView postPageURL,
                               const UploadForm& form, TextView localPath);

// The scripting method: uploads the file named by `strLocalPath` (a path or a
// "file:///" URL) and returns the server's answer, or `strLocalPath` unchanged when
// there is no such file or the upload fails.
Text postImageToServer(const Platform& platform, TextView postPageURL, const UploadForm& form,
                       TextView strLocalPath);

}  // namespace qorva
