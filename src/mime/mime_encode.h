// HTML to MIME: one multipart/related message of the editor's HTML and the files it
// refers to, each referred to from the HTML by "cid:" and its Content-ID.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "base/text.h"

namespace qorva {

class Clock;
class ContentTypes;
class System;

// Fetches `requestPath` from `serverUrl` into the file at `localPath`, which it may
// change to the path it actually wrote; false when nothing usable was stored.
using DownloadFunction =
    std::function<bool(TextView serverUrl, TextView requestPath, Text& localPath)>;

// What one encoding reads and the ports it works through.
struct MimeEncodeContext {
  System& system;
  const Clock& clock;
  const ContentTypes& contentTypes;
  DownloadFunction download;
  uint32_t mimeLocalOnly = 1;
  uint32_t mimeRemoveHeader = 0;
  uint32_t mimeConentEncodingType = 3;
  Text mimeBaseURL;
  Text hostPagePath;  // scheme, host and port of the page hosting the control
  bool useLog = false;
  // Whether a local file may go into the message; without it, any may. A refused file's
  // part is left out.
  std::function<bool(TextView path)> mayReadFile;
};

// The lists of references registered with mimeAddEncodingFile, edited in place by an
// encoding: entries that were not embedded go, downloaded ones become local paths.
struct MimeFileLists {
  std::vector<Text>& images;
  std::vector<Text>& files;
};

// The message text; normalises `mimeCharset` (lower case, "euc-kr" when empty).
Text QorvaEncodeMime(MimeEncodeContext& context, Text& mimeCharset, MimeFileLists lists,
                     TextView strHtml, int32_t nFileNameType);
// The older encoder: embeds the local images it finds in the HTML itself; "0" when
// nothing could be written.
Text QorvaEncodeMine(MimeEncodeContext& context, TextView strHtml, int32_t nFileNameType);

// The helpers the two encoders share.
Text NewContentId(System& system);
Text ContentTypeForFile(const ContentTypes& contentTypes, TextView path);
Text ContentSubtype(const ContentTypes& contentTypes, TextView path);
// What follows the "/" of a content type; the whole text without one.
Text SubtypeOf(TextView contentType);
Text TransferEncodingName(uint32_t mimeConentEncodingType);
std::vector<Text> CollectLocalImageSources(TextView html);

}  // namespace qorva
