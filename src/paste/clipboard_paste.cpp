#include "paste/clipboard_paste.h"

#include <filesystem>
#include <fstream>

#include "graphics/bitmap_drawing.h"
#include "paste/clipboard_images.h"
#include "paste/paste_cleanup.h"
#include "paste/paste_text.h"
#include "platform/clipboard.h"
#include "platform/image_codec.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/image_files.h"
#include "support/string_helpers.h"
#include "support/working_folder.h"

namespace qorva {

namespace {

// Paths of dropped files are read into a buffer of this many units.
constexpr size_t kDropPathBuffer = 520;

constexpr const char* kFileImageTag =
    "<img style=\"width:%dpx; height:%dpx;\" border=\"0\" src=\"file:///\x01\" alt=\"\">";
constexpr const char* kBitmapImageTag =
    "<img style=\"width:%dpx; height:%dpx;\" border=\"0\" src=\"\x01\" alt=\"\">";
constexpr const char* kPngImageTag =
    "<img style=\"width:%dpx; height:%dpx;\" border=0 src=\"file:///\x01\" alt=\"\">";

Text WithSlashes(Text path) {
  for (char16_t& unit : path) {
    if (unit == u'\\') unit = u'/';
  }
  return path;
}

void RemoveIdeographicSpaces(Text& text) { std::erase(text, u'\u3000'); }

bool CopyFileOver(TextView source, TextView destination) {
  std::error_code error;
  return std::filesystem::copy_file(PathFromText(source), PathFromText(destination),
                                    std::filesystem::copy_options::overwrite_existing, error);
}

std::optional<ImageSize> NaturalSize(const ImageCodec& codec, TextView path) {
  ImageDecodeResult image = LoadImageFile(codec, path);
  if (!image.image) return std::nullopt;
  return ImageSize{static_cast<uint32_t>(image.image->width()),
                   static_cast<uint32_t>(image.image->height())};
}

Text PasteFiles(const ClipboardImageContext& images, const std::vector<Text>& files) {
  const ImageCodec& codec = images.imageCodec;
  Text result;
  for (const Text& dropped : files) {
    Text file = dropped.substr(0, kDropPathBuffer - 1);
    Text extension = ToLower(ExtractExtension(file));
    Text destination;
    std::optional<ImageSize> size;
    if (extension != u"png" && extension != u"gif" && extension != u"jpg" && extension != u"jpeg") {
      destination = NewWorkingFilePath(images.system, u"jpg");
      ImageSize converted;
      if (ConvertImageFile(codec, destination, file, false, images.jpegQuality, &converted)) {
        size = converted;
      }
    } else {
      destination = NewWorkingFilePath(images.system, extension);
      CopyFileOver(file, destination);  // counted as done whatever it returned
      size = NaturalSize(codec, file);
    }
    if (!size) continue;
    result +=
        FillImageTag(kFileImageTag, FitToDefaultSize(size->width, size->height, images.defaultSize),
                     WithSlashes(destination));
  }
  return result;
}

Text PasteBitmap(const ClipboardImageContext& images, ClipboardAccess& clipboard) {
  const ImageCodec& codec = images.imageCodec;
  std::optional<Bitmap> bitmap = clipboard.GetBitmap();
  if (!bitmap) return {};
  Text path = NewWorkingFilePath(images.system, u"jpg");
  if (SaveImageFile(codec, u"jpg", path, kRotateNoneFlipX, *bitmap, images.jpegQuality) ==
      ImageStatus::kOk) {
    ImageSize size = FitToDefaultSize(static_cast<uint32_t>(bitmap->width()),
                                      static_cast<uint32_t>(bitmap->height()), images.defaultSize);
    return FillImageTag(kBitmapImageTag, size, path);
  }
  // The bitmap could not be saved: try the PNG the clipboard may hold beside it.
  std::optional<std::string> png = clipboard.RegisteredData(kPngFormatName);
  if (!png) return {};
  Text pngPath = NewWorkingFilePath(images.system, u"png");
  if (WriteFileBytes(pngPath, *png) != WriteOutcome::kWritten) return {};
  Text jpegPath = StripExtension(pngPath) + u".jpg";
  ImageSize size;
  if (!ConvertImageFile(codec, jpegPath, pngPath, true, images.jpegQuality, &size)) return {};
  return FillImageTag(kPngImageTag, FitToDefaultSize(size.width, size.height, images.defaultSize),
                      WithSlashes(jpegPath));
}

std::optional<Text> ClipboardHtml(ClipboardAccess& clipboard) {
  if (!clipboard.IsAvailable(kHtmlFormatName)) return std::nullopt;
  std::optional<std::string> bytes = clipboard.RegisteredData(kHtmlFormatName);
  if (!bytes) return std::nullopt;
  return FromUtf8(*bytes);
}

Text UpperAscii(TextView text) {
  Text out(text);
  for (char16_t& unit : out) {
    if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - 32);
  }
  return out;
}

}  // namespace

ClipboardPaste ReadClipboardForPaste(const ClipboardImageContext& images, PasteContext& cleanup) {
  ClipboardPaste paste;
  Text& result = paste.html;
  bool readHtml = false;
  if (auto clipboard = images.clipboard.Open()) {
    if (clipboard->IsAvailable(kHtmlFormatName)) {
      // When the data cannot be got, no later format is tried.
      if (std::optional<Text> html = ClipboardHtml(*clipboard)) {
        result = *html;
        paste.originalHtml = std::move(*html);
        readHtml = true;
      }
    } else if (clipboard->IsAvailable(StandardFormat::kUnicodeText)) {
      result = clipboard->UnicodeText().value_or(Text());
      TextToHtml(result);
    } else if (clipboard->IsAvailable(StandardFormat::kText) ||
               clipboard->IsAvailable(StandardFormat::kOemText)) {
      result = FromAnsi(images.system, clipboard->AnsiText().value_or(""));
      TextToHtml(result);
    } else if (clipboard->IsAvailable(StandardFormat::kFileDrop)) {
      if (auto files = clipboard->DroppedFiles()) {
        result = PasteFiles(images, *files);
        paste.droppedFiles = std::move(*files);
      }
    } else {
      result = PasteBitmap(images, *clipboard);
    }
  }
  // The clean-up runs after the clipboard is closed.
  if (readHtml) paste.sourceType = CleanPastedHtml(result, cleanup);
  RemoveIdeographicSpaces(result);
  return paste;
}

Text GetOriginalHtml(Clipboard& clipboard, TextView strTag) {
  std::optional<Text> html;
  if (auto access = clipboard.Open()) html = ClipboardHtml(*access);
  if (!html) return {};
  size_t from;
  Text end;
  if (ToLower(strTag) == u"fragment") {
    from = html->find(u"<!--StartFragment-->");
    end = u"<!--EndFragment-->";
  } else {
    OpeningTag tag = FindOpeningTag(*html, UpperAscii(strTag));
    from = tag.at;
    end = std::move(tag.end);
  }
  size_t to = html->find(end);
  Text result = *html;
  if (from != Text::npos && to != Text::npos) {
    // An end marker before the start one leaves nothing between them.
    result = to + end.size() > from ? html->substr(from, to + end.size() - from) : Text();
  }
  RemoveIdeographicSpaces(result);
  return result;
}

bool ConvertImageFile(const ImageCodec& codec, TextView destination, TextView source,
                      bool deleteSource, int32_t jpegQuality, ImageSize* convertedSize) {
  if (ToLower(ExtractExtension(destination)) == ToLower(ExtractExtension(source))) {
    EnsureFolderTree(destination);
    return CopyFileOver(source, destination);
  }
  ImageDecodeResult image = LoadImageFile(codec, source);
  if (!image.image) return false;
  std::optional<Bitmap> canvas =
      Bitmap::Create(image.image->width(), image.image->height(), PixelFormat::kRgb24);
  if (!canvas) return false;
  canvas->Fill(MakeArgb(255, 255, 255, 255));
  DrawBitmap(*canvas, *image.image, 0, 0);
  image.image.reset();
  if (SaveImageFile(codec, ExtractExtension(destination), destination, kRotateNoneFlipX, *canvas,
                    jpegQuality) != ImageStatus::kOk) {
    return false;
  }
  if (deleteSource) RemoveFileForcibly(PathFromText(source));
  if (convertedSize) {
    *convertedSize = {static_cast<uint32_t>(canvas->width()),
                      static_cast<uint32_t>(canvas->height())};
  }
  return true;
}

}  // namespace qorva
