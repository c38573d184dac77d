// The system clipboard, as far as a paste and a screen capture use it: availability and
// data of the registered formats by name and of the standard formats, and putting a
// bitmap on it. The clipboard is open while a ClipboardAccess lives.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "graphics/bitmap.h"

namespace qorva {

inline constexpr TextView kHtmlFormatName = u"HTML Format";
inline constexpr TextView kPngFormatName = u"PNG";

// The standard formats, numbered as the system numbers them.
enum class StandardFormat : uint32_t {
  kText = 1,          // CF_TEXT: bytes in the ANSI code page
  kBitmap = 2,        // CF_BITMAP
  kOemText = 7,       // CF_OEMTEXT
  kUnicodeText = 13,  // CF_UNICODETEXT
  kFileDrop = 15,     // CF_HDROP: the paths of copied or dropped files
};

class ClipboardAccess {
 public:
  virtual ~ClipboardAccess() = default;  // closes the clipboard

  virtual bool IsAvailable(StandardFormat format) = 0;
  virtual bool IsAvailable(TextView registeredFormat) = 0;
  // The whole data block of a registered format ("HTML Format" holds UTF-8 with its
  // header lines and a terminating zero; "PNG" a PNG file); none when absent.
  virtual std::optional<std::string> RegisteredData(TextView registeredFormat) = 0;
  virtual std::optional<Text> UnicodeText() = 0;
  // CF_TEXT: bytes in the ANSI code page.
  virtual std::optional<std::string> AnsiText() = 0;
  virtual std::optional<std::vector<Text>> DroppedFiles() = 0;
  virtual std::optional<Bitmap> GetBitmap() = 0;
  // Empties the clipboard and puts `bitmap` on it; false when that fails.
  virtual bool PutBitmap(const Bitmap& bitmap) = 0;
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;

  // Opens the clipboard for the control's window; none when it cannot be opened (for
  // instance while another program holds it).
  virtual std::unique_ptr<ClipboardAccess> Open() = 0;
};

}  // namespace qorva
