#include "win32/win32_clipboard.h"

#include <shellapi.h>

#include <cstring>

#include "win32/dib_info.h"
#include "win32/wide_text.h"

namespace qorva {

namespace {

UINT RegisteredId(TextView name) { return RegisterClipboardFormatW(Wide(name).c_str()); }

// The bytes of a global memory block, all GlobalSize of them.
std::optional<std::string> BlockBytes(HANDLE handle) {
  if (!handle) return std::nullopt;
  SIZE_T size = GlobalSize(handle);
  const void* data = GlobalLock(handle);
  if (!data) return std::nullopt;
  std::string bytes(static_cast<const char*>(data), size);
  GlobalUnlock(handle);
  return bytes;
}

std::optional<Bitmap> FromBitmapHandle(HBITMAP handle) {
  BITMAP info{};
  if (!handle || !GetObjectW(handle, sizeof info, &info)) return std::nullopt;
  std::optional<Bitmap> bitmap = Bitmap::Create(info.bmWidth, info.bmHeight, PixelFormat::kRgb24);
  if (!bitmap) return std::nullopt;
  BITMAPINFO header = TopDownRgb24Info(info.bmWidth, info.bmHeight);
  HDC screen = GetDC(nullptr);
  int rows = GetDIBits(screen, handle, 0, static_cast<UINT>(info.bmHeight), bitmap->Row(0), &header,
                       DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != info.bmHeight) return std::nullopt;
  return bitmap;
}

class Win32ClipboardAccess final : public ClipboardAccess {
 public:
  ~Win32ClipboardAccess() override { CloseClipboard(); }

  bool IsAvailable(StandardFormat format) override {
    return IsClipboardFormatAvailable(static_cast<UINT>(format)) != 0;
  }
  bool IsAvailable(TextView format) override {
    UINT id = RegisteredId(format);
    return id != 0 && IsClipboardFormatAvailable(id) != 0;
  }
  std::optional<std::string> RegisteredData(TextView format) override {
    UINT id = RegisteredId(format);
    if (id == 0) return std::nullopt;
    return BlockBytes(GetClipboardData(id));
  }
  std::optional<Text> UnicodeText() override {
    std::optional<std::string> bytes = BlockBytes(GetClipboardData(CF_UNICODETEXT));
    if (!bytes) return std::nullopt;
    Text text(bytes->size() / 2, u'\0');
    std::memcpy(text.data(), bytes->data(), text.size() * 2);
    text.resize(std::char_traits<char16_t>::length(text.c_str()));
    return text;
  }
  std::optional<std::string> AnsiText() override {
    std::optional<std::string> bytes = BlockBytes(GetClipboardData(CF_TEXT));
    if (!bytes) return std::nullopt;
    bytes->resize(std::strlen(bytes->c_str()));
    return bytes;
  }
  std::optional<std::vector<Text>> DroppedFiles() override {
    auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    if (!drop) return std::nullopt;
    std::vector<Text> paths;
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      UINT length = DragQueryFileW(drop, i, nullptr, 0);
      std::wstring path(length + 1, L'\0');
      DragQueryFileW(drop, i, path.data(), length + 1);
      path.resize(length);
      paths.push_back(FromWide(path));
    }
    return paths;
  }
  std::optional<Bitmap> GetBitmap() override {
    return FromBitmapHandle(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)));
  }
  bool PutBitmap(const Bitmap& source) override {
    std::optional<Bitmap> bitmap = source.ConvertedTo(PixelFormat::kRgb24);
    if (!bitmap) return false;
    size_t pixels = bitmap->stride() * static_cast<size_t>(bitmap->height());
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + pixels);
    if (!block) return false;
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *header = BITMAPINFOHEADER{};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = bitmap->width();
    header->biHeight = bitmap->height();  // a packed DIB is stored bottom row first
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(pixels);
    auto* rows = reinterpret_cast<uint8_t*>(header + 1);
    for (int32_t y = 0; y < bitmap->height(); ++y) {
      std::memcpy(rows + static_cast<size_t>(bitmap->height() - 1 - y) * bitmap->stride(),
                  bitmap->Row(y), bitmap->stride());
    }
    GlobalUnlock(block);
    if (!EmptyClipboard() || !SetClipboardData(CF_DIB, block)) {
      GlobalFree(block);
      return false;
    }
    return true;  // the clipboard owns the block now
  }
};

}  // namespace

std::unique_ptr<ClipboardAccess> Win32Clipboard::Open() {
  if (!OpenClipboard(owner_ ? owner_() : nullptr)) return nullptr;
  return std::make_unique<Win32ClipboardAccess>();
}

}  // namespace qorva

#include "platform/native_clipboard.h"

namespace qorva {

std::unique_ptr<Clipboard> CreateNativeClipboard(const ImageCodec&, const System&) {
  return std::make_unique<Win32Clipboard>(nullptr);
}

}  // namespace qorva
