#include "posix/x11_screen_capture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/native_screen_capture.h"

namespace qorva {

namespace {

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

struct ImageDestroyer {
  void operator()(XImage* image) const { XDestroyImage(image); }
};

// A request naming a window that went away answers with an error; the default handler
// would end the program.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

class ErrorsIgnored {
 public:
  ErrorsIgnored() : previous_(XSetErrorHandler(&IgnoreError)) {}
  ~ErrorsIgnored() { XSetErrorHandler(previous_); }
  ErrorsIgnored(const ErrorsIgnored&) = delete;
  ErrorsIgnored& operator=(const ErrorsIgnored&) = delete;

 private:
  int (*previous_)(Display*, XErrorEvent*);
};

struct Area {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The child of the root that holds the focused window: the frame, where a window
// manager reparents.
std::optional<Area> FocusedTopLevel(Display* display, Window root) {
  Window focus = None;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  if (focus == None || focus == PointerRoot || focus == root) return std::nullopt;
  Window window = focus;
  for (;;) {
    Window rootReturn = None, parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &rootReturn, &parent, &children, &count)) return std::nullopt;
    if (children) XFree(children);
    if (parent == root || parent == None) break;
    window = parent;
  }
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes)) return std::nullopt;
  return Area{attributes.x, attributes.y, attributes.width + 2 * attributes.border_width,
              attributes.height + 2 * attributes.border_width};
}

// Where `mask` sits and how wide it is, to scale its field to eight bits.
struct Field {
  int shift;
  int bits;
  uint8_t Of(unsigned long pixel) const {
    if (bits == 0) return 0;
    unsigned long value = (pixel >> shift) & ((1UL << bits) - 1);
    if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
    return static_cast<uint8_t>(value * 255 / ((1UL << bits) - 1));
  }
};
Field FieldOf(unsigned long mask) {
  if (mask == 0) return {0, 0};
  return {std::countr_zero(mask), std::popcount(mask)};
}

std::optional<Bitmap> ToBitmap(XImage& image) {
  std::optional<Bitmap> bitmap = Bitmap::Create(image.width, image.height, PixelFormat::kRgb24);
  if (!bitmap) return std::nullopt;
  const bool plain = image.bits_per_pixel == 32 && image.byte_order == LSBFirst &&
                     image.red_mask == 0xFF0000 && image.green_mask == 0xFF00 &&
                     image.blue_mask == 0xFF;
  const Field red = FieldOf(image.red_mask);
  const Field green = FieldOf(image.green_mask);
  const Field blue = FieldOf(image.blue_mask);
  for (int y = 0; y < image.height; ++y) {
    uint8_t* out = bitmap->Row(y);
    if (plain) {
      // Blue, green, red, unused: the bitmap's order less the fourth byte.
      const auto* in = reinterpret_cast<const uint8_t*>(image.data) +
                       static_cast<size_t>(y) * static_cast<size_t>(image.bytes_per_line);
      for (int x = 0; x < image.width; ++x, in += 4, out += 3) std::memcpy(out, in, 3);
      continue;
    }
    for (int x = 0; x < image.width; ++x, out += 3) {
      unsigned long pixel = XGetPixel(&image, x, y);
      out[0] = blue.Of(pixel);
      out[1] = green.Of(pixel);
      out[2] = red.Of(pixel);
    }
  }
  return bitmap;
}

}  // namespace

std::optional<Bitmap> X11ScreenCapture::Capture(CaptureArea area) {
  DisplayHandle display(XOpenDisplay(nullptr));
  if (!display) return std::nullopt;
  ErrorsIgnored quiet;
  const int screen = DefaultScreen(display.get());
  const Window root = RootWindow(display.get(), screen);
  Area rect{0, 0, DisplayWidth(display.get(), screen), DisplayHeight(display.get(), screen)};
  if (area == CaptureArea::kBrowserWindow) {
    std::optional<Area> window = FocusedTopLevel(display.get(), root);
    if (!window) return std::nullopt;
    // Only what is on the screen can be read.
    const int left = std::max(window->x, 0);
    const int top = std::max(window->y, 0);
    const int right = std::min(window->x + window->width, rect.width);
    const int bottom = std::min(window->y + window->height, rect.height);
    if (right <= left || bottom <= top) return std::nullopt;
    rect = {left, top, right - left, bottom - top};
  }
  std::unique_ptr<XImage, ImageDestroyer> image(
      XGetImage(display.get(), root, rect.x, rect.y, static_cast<unsigned>(rect.width),
                static_cast<unsigned>(rect.height), AllPlanes, ZPixmap));
  if (!image) return std::nullopt;
  return ToBitmap(*image);
}

std::unique_ptr<ScreenCapture> CreateNativeScreenCapture() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return nullptr;
  return std::make_unique<X11ScreenCapture>();
}

}  // namespace qorva
