// The clipboard port on an X11 desktop: the CLIPBOARD selection, read through its
// targets. "HTML Format" comes from text/html (wrapped in the fragment markers and header
// lines the format has elsewhere), Unicode and ANSI text from UTF8_STRING or
// text/plain;charset=utf-8, the file drop from text/uri-list (file URIs decoded to
// paths), the bitmap and "PNG" from image/png. A read that the owner does not answer in
// time fails instead of hanging.
#pragma once

#include <chrono>

#include "platform/clipboard.h"

namespace qorva {

class ImageCodec;
class System;

class X11Clipboard final : public Clipboard {
 public:
  // `codec` decodes and encodes the PNG of bitmaps; `system` gives the ANSI code page.
  X11Clipboard(const ImageCodec& codec, const System& system,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));

  // None when there is no display to connect to.
  std::unique_ptr<ClipboardAccess> Open() override;

  // True when a display can be reached ($DISPLAY is set and answers).
  static bool DisplayAvailable();

 private:
  const ImageCodec& codec_;
  const System& system_;
  std::chrono::milliseconds timeout_;
};

// The paths named by the file URIs of a text/uri-list; other URIs and comments skipped.
std::vector<Text> PathsFromUriList(std::string_view uriList);

// Text/html as the "HTML Format" block: header lines with their offsets, the fragment
// between the fragment markers, and a terminating zero.
std::string HtmlFormatFromFragment(std::string_view utf8Html);

}  // namespace qorva
