#include "images/clipboard_capture.h"

#include <memory>
#include <optional>

#include "platform/clipboard.h"
#include "support/image_files.h"
#include "support/working_folder.h"

namespace qorva {

bool CaptureToClipboard(ScreenCapture& screen, Clipboard& clipboard, CaptureArea area) {
  std::optional<Bitmap> pixels = screen.Capture(area);
  if (!pixels) return false;
  std::unique_ptr<ClipboardAccess> access = clipboard.Open();
  return access && access->PutBitmap(*pixels);
}

Text SaveClipboardCapture(Clipboard& clipboard, const ImageCodec& codec, System& system,
                          int32_t jpegQuality) {
  std::unique_ptr<ClipboardAccess> access = clipboard.Open();
  if (!access || !access->IsAvailable(StandardFormat::kBitmap)) return {};
  std::optional<Bitmap> bitmap = access->GetBitmap();
  if (!bitmap) return {};
  Text path = WorkingFolderPath(kWorkingFolderName) + NewUniqueName(system) + u".jpg";
  if (SaveImageFile(codec, u"jpg", path, kRotateNoneFlipX, *bitmap, jpegQuality) !=
      ImageStatus::kOk) {
    return {};
  }
  return path;
}

}  // namespace qorva
