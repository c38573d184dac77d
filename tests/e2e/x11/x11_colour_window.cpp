// A window of solid colour with a block of another colour on it, painted by the X server
// itself (both are window backgrounds), for the screen capture test to find on the
// screen. Usage: x11_colour_window X,Y,W,H,RRGGBB [X,Y,W,H,RRGGBB] [--over] [--focus]
// The first rectangle is the window (on the root), the second a block inside it. --over:
// the window manager is bypassed; --focus: the window takes the input focus. Prints
// "ready" once the window shows, and stays until it is killed.
#include <X11/Xlib.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Block {
  int x, y;
  unsigned width, height;
  unsigned long pixel;
};

bool ParseBlock(const char* text, Block& block) {
  unsigned long colour = 0;
  if (std::sscanf(text, "%d,%d,%u,%u,%lx", &block.x, &block.y, &block.width, &block.height,
                  &colour) != 5) {
    return false;
  }
  block.pixel = colour;  // a 24-bit TrueColor visual takes 0xRRGGBB as it is
  return block.width > 0 && block.height > 0;
}

Window Make(Display* display, Window parent, const Block& block, bool over) {
  XSetWindowAttributes attributes{};
  attributes.background_pixel = block.pixel;
  attributes.override_redirect = over ? True : False;
  attributes.event_mask = StructureNotifyMask;
  return XCreateWindow(display, parent, block.x, block.y, block.width, block.height, 0,
                       CopyFromParent, InputOutput, CopyFromParent,
                       CWBackPixel | CWOverrideRedirect | CWEventMask, &attributes);
}

}  // namespace

int main(int argc, char** argv) {
  Block blocks[2];
  int count = 0;
  bool over = false, focus = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--over") == 0) {
      over = true;
    } else if (std::strcmp(argv[i], "--focus") == 0) {
      focus = true;
    } else if (count < 2 && ParseBlock(argv[i], blocks[count])) {
      ++count;
    } else {
      std::fprintf(stderr, "x11_colour_window: bad argument %s\n", argv[i]);
      return 2;
    }
  }
  if (count == 0) return 2;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  Window window = Make(display, DefaultRootWindow(display), blocks[0], over);
  if (count == 2) XMapWindow(display, Make(display, window, blocks[1], false));
  XMapWindow(display, window);
  for (XEvent event;;) {
    XNextEvent(display, &event);
    if (event.type == MapNotify && event.xmap.window == window) break;
  }
  if (focus) XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XSync(display, False);
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) pause();
}
