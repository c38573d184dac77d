#include "posix/x11_clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/image_codec.h"
#include "platform/system.h"
#include "support/encoding.h"
#include "support/image_files.h"

namespace qorva {

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kChunkLongs = 1 << 16;  // property read size, in 32-bit units
constexpr size_t kMaxSelectionBytes = size_t{256} << 20;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    int high = -1, low = -1;
    if (text[i] == '%' && i + 2 < text.size()) {
      high = HexValue(text[i + 1]);
      low = HexValue(text[i + 2]);
    }
    if (high >= 0 && low >= 0) {
      out.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// Firefox offers text/html in UTF-16 with a byte order mark; the bytes become UTF-8 in place.
void HtmlToUtf8(std::string& bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    Text text((bytes.size() - 2) / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                      (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    }
    bytes = ToUtf8(text);
  }
}

// One connection with a hidden window that receives the selection's conversions.
class X11Session {
 public:
  X11Session() : display_(XOpenDisplay(nullptr)) {
    if (!display_) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display_, window_, PropertyChangeMask);
    clipboard_ = Intern("CLIPBOARD");
    property_ = Intern("QORVA_SELECTION");
    incr_ = Intern("INCR");
  }
  ~X11Session() {
    if (!display_) return;
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
  }
  X11Session(const X11Session&) = delete;
  X11Session& operator=(const X11Session&) = delete;

  bool ok() const { return display_ != nullptr; }
  Display* display() const { return display_; }
  Atom Intern(const char* name) { return XInternAtom(display_, name, False); }
  Atom clipboard() const { return clipboard_; }

  // The selection converted to `target`; none when it is not offered or the owner does
  // not answer before the deadline.
  std::optional<std::string> Convert(Atom target, std::chrono::milliseconds timeout) {
    if (XGetSelectionOwner(display_, clipboard_) == None) return std::nullopt;
    XDeleteProperty(display_, window_, property_);
    XConvertSelection(display_, clipboard_, target, property_, window_, CurrentTime);
    XFlush(display_);
    auto deadline = Clock::now() + timeout;
    XEvent event;
    if (!WaitFor(
            deadline,
            [&](XEvent& e) {
              return e.type == SelectionNotify && e.xselection.requestor == window_;
            },
            event)) {
      return std::nullopt;
    }
    if (event.xselection.property == None) return std::nullopt;
    Atom type = None;
    std::string first;
    if (!ReadProperty(type, first)) return std::nullopt;
    if (type != incr_) return first;
    // An incremental transfer announces a lower bound of its size.
    uint32_t announced = 0;
    if (first.size() >= 4) std::memcpy(&announced, first.data(), 4);
    return ReadIncremental(deadline, timeout, announced);
  }

 private:
  template <typename Match>
  bool WaitFor(Clock::time_point deadline, Match match, XEvent& event) {
    for (;;) {
      while (XPending(display_) > 0) {
        XNextEvent(display_, &event);
        if (match(event)) return true;
      }
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return false;
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      poll(&fd, 1, static_cast<int>(left.count()));
    }
  }

  // Reads the whole property, appending it to `out`, and deletes it; false when it
  // cannot be read.
  bool ReadProperty(Atom& type, std::string& out) {
    const size_t start = out.size();
    long offset = 0;
    for (;;) {
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display_, window_, property_, offset, kChunkLongs, False,
                             AnyPropertyType, &type, &format, &count, &after, &data) != Success) {
        return false;
      }
      size_t unit = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
      if (data) {
        // Format-32 items arrive as longs; pass them on as 32-bit values.
        if (format == 32) {
          for (unsigned long i = 0; i < count; ++i) {
            uint32_t value = static_cast<uint32_t>(reinterpret_cast<long*>(data)[i]);
            out.append(reinterpret_cast<const char*>(&value), 4);
          }
        } else {
          out.append(reinterpret_cast<const char*>(data), count * unit);
        }
        XFree(data);
      }
      if (out.size() - start > kMaxSelectionBytes) return false;
      if (after == 0) break;
      offset += static_cast<long>(count * static_cast<unsigned long>(format / 8) / 4);
    }
    XDeleteProperty(display_, window_, property_);
    XFlush(display_);
    return true;
  }

  // The pieces are appended in place to storage of the announced size, so that a large
  // document is neither copied piece by piece nor grown again and again.
  std::optional<std::string> ReadIncremental(Clock::time_point deadline,
                                             std::chrono::milliseconds timeout,
                                             uint32_t announced) {
    std::string out;
    out.reserve(std::min<size_t>(announced, kMaxSelectionBytes));
    for (;;) {
      XEvent event;
      if (!WaitFor(
              deadline,
              [&](XEvent& e) {
                return e.type == PropertyNotify && e.xproperty.window == window_ &&
                       e.xproperty.atom == property_ && e.xproperty.state == PropertyNewValue;
              },
              event)) {
        return std::nullopt;
      }
      Atom type = None;
      const size_t before = out.size();
      if (!ReadProperty(type, out)) return std::nullopt;
      if (out.size() == before) return out;  // the empty piece ends the transfer
      if (out.size() > kMaxSelectionBytes) return std::nullopt;
      deadline = Clock::now() + timeout;  // each chunk gets its own time
    }
  }

  Display* display_;
  Window window_ = 0;
  Atom clipboard_ = None;
  Atom property_ = None;
  Atom incr_ = None;
};

class X11ClipboardAccess final : public ClipboardAccess {
 public:
  X11ClipboardAccess(std::unique_ptr<X11Session> session, const ImageCodec& codec,
                     const System& system, std::chrono::milliseconds timeout)
      : session_(std::move(session)), codec_(codec), system_(system), timeout_(timeout) {
    std::optional<std::string> targets = session_->Convert(session_->Intern("TARGETS"), timeout_);
    if (!targets) return;
    for (size_t i = 0; i + 4 <= targets->size(); i += 4) {
      uint32_t atom;
      std::memcpy(&atom, targets->data() + i, 4);
      char* name = XGetAtomName(session_->display(), atom);
      if (!name) continue;
      targets_.emplace_back(name);
      XFree(name);
    }
  }

  bool IsAvailable(StandardFormat format) override {
    switch (format) {
      case StandardFormat::kUnicodeText:
      case StandardFormat::kText:
      case StandardFormat::kOemText:
        return !TextTarget().empty();
      case StandardFormat::kFileDrop:
        return Offers("text/uri-list");
      case StandardFormat::kBitmap:
        return Offers("image/png");
    }
    return false;
  }

  bool IsAvailable(TextView registeredFormat) override {
    if (registeredFormat == kHtmlFormatName) return Offers("text/html");
    if (registeredFormat == kPngFormatName) return Offers("image/png");
    return false;
  }

  std::optional<std::string> RegisteredData(TextView registeredFormat) override {
    if (registeredFormat == kHtmlFormatName) {
      std::optional<std::string> html = Fetch("text/html");
      if (!html) return std::nullopt;
      HtmlToUtf8(*html);
      return HtmlFormatFromFragment(*html);
    }
    if (registeredFormat == kPngFormatName) return Fetch("image/png");
    return std::nullopt;
  }

  std::optional<Text> UnicodeText() override {
    std::string target = TextTarget();
    if (target.empty()) return std::nullopt;
    std::optional<std::string> bytes = Fetch(target.c_str());
    if (!bytes) return std::nullopt;
    return FromUtf8(*bytes);
  }

  std::optional<std::string> AnsiText() override {
    std::optional<Text> text = UnicodeText();
    if (!text) return std::nullopt;
    return ToAnsi(system_, *text);
  }

  std::optional<std::vector<Text>> DroppedFiles() override {
    std::optional<std::string> list = Fetch("text/uri-list");
    if (!list) return std::nullopt;
    return PathsFromUriList(*list);
  }

  std::optional<Bitmap> GetBitmap() override {
    std::optional<std::string> png = Fetch("image/png");
    if (!png) return std::nullopt;
    ImageDecodeResult decoded = codec_.Decode(*png);
    return std::move(decoded.image);
  }

  bool PutBitmap(const Bitmap& bitmap) override;

 private:
  bool Offers(std::string_view target) const {
    return std::ranges::find(targets_, target) != targets_.end();
  }
  std::string TextTarget() const {
    for (const char* target : {"UTF8_STRING", "text/plain;charset=utf-8"}) {
      if (Offers(target)) return target;
    }
    return {};
  }
  std::optional<std::string> Fetch(const char* target) {
    if (!Offers(target)) return std::nullopt;
    return session_->Convert(session_->Intern(target), timeout_);
  }

  std::unique_ptr<X11Session> session_;
  const ImageCodec& codec_;
  const System& system_;
  std::chrono::milliseconds timeout_;
  std::vector<std::string> targets_;
};

// Serves `data` as `type` on the CLIPBOARD selection until another program takes it.
// Data larger than one request goes by the incremental protocol: the property first holds
// INCR with the size, then each time the requestor deletes it, the next piece, and at the
// end an empty one.
// Once it owns the selection, it says so with one byte on `ownedFd`.
void ServeSelection(Display* display, Atom type, const std::string& data, int ownedFd) {
  Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
  Atom targets = XInternAtom(display, "TARGETS", False);
  Atom incr = XInternAtom(display, "INCR", False);
  XSetSelectionOwner(display, clipboard, window, CurrentTime);
  if (XGetSelectionOwner(display, clipboard) != window) return;
  const char owned = 1;
  if (write(ownedFd, &owned, 1) != 1) return;
  close(ownedFd);
  long maxRequest = XExtendedMaxRequestSize(display);
  if (maxRequest == 0) maxRequest = XMaxRequestSize(display);
  const size_t piece =
      std::min<size_t>(size_t{256} * 1024, static_cast<size_t>(maxRequest) * 4 - 1024);

  struct Transfer {
    Window requestor;
    Atom property;
    size_t sent;
  };
  std::vector<Transfer> transfers;
  auto write = [&](Window requestor, Atom property, size_t from, size_t count) {
    XChangeProperty(display, requestor, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data() + from),
                    static_cast<int>(count));
  };
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == SelectionClear) return;
    if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete) {
      for (size_t i = 0; i < transfers.size(); ++i) {
        Transfer& t = transfers[i];
        if (t.requestor != event.xproperty.window || t.property != event.xproperty.atom) continue;
        size_t count = std::min(piece, data.size() - t.sent);
        write(t.requestor, t.property, t.sent, count);
        t.sent += count;
        // The empty piece has gone out: the transfer is complete.
        if (count == 0) transfers.erase(transfers.begin() + static_cast<std::ptrdiff_t>(i));
        XFlush(display);
        break;
      }
      continue;
    }
    if (event.type != SelectionRequest) continue;
    XSelectionRequestEvent& request = event.xselectionrequest;
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = request.property == None ? request.target : request.property;
    if (request.target == targets) {
      Atom offered[] = {targets, type};
      XChangeProperty(display, request.requestor, reply.property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(offered), 2);
    } else if (request.target == type && data.size() <= piece) {
      write(request.requestor, reply.property, 0, data.size());
    } else if (request.target == type) {
      XSelectInput(display, request.requestor, PropertyChangeMask);
      long size = static_cast<long>(data.size());
      XChangeProperty(display, request.requestor, reply.property, incr, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(&size), 1);
      transfers.push_back({request.requestor, reply.property, 0});
    } else {
      reply.property = None;
    }
    XSendEvent(display, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
    XFlush(display);
  }
}

// Owning a selection means answering requests for as long as one owns it, so a child
// process takes it over and serves the PNG until another program takes the clipboard.
bool X11ClipboardAccess::PutBitmap(const Bitmap& bitmap) {
  std::optional<Guid> png = FindEncoder(codec_, u"image/png");
  if (!png) return false;
  ImageEncodeResult encoded = codec_.Encode(bitmap, *png, {});
  if (encoded.status != ImageStatus::kOk) return false;
  // The server tells through a pipe when it owns the selection, so that a read right
  // after this call already finds the bitmap.
  int owned[2];
  if (pipe(owned) != 0) return false;
  std::fflush(nullptr);
  pid_t child = fork();
  if (child < 0) {
    close(owned[0]);
    close(owned[1]);
    return false;
  }
  if (child > 0) {
    close(owned[1]);
    // The child forks once more, so that nobody has to wait for the server.
    int status = 0;
    waitpid(child, &status, 0);
    pollfd fd{owned[0], POLLIN, 0};
    char byte = 0;
    const bool served = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                        poll(&fd, 1, static_cast<int>(timeout_.count())) == 1 &&
                        read(owned[0], &byte, 1) == 1;
    close(owned[0]);
    return served;
  }
  close(owned[0]);
  if (fork() != 0) _exit(0);
  setsid();
  // The server outlives the command: it must not hold the pipes the command's caller reads.
  int nothing = open("/dev/null", O_RDWR);
  if (nothing >= 0) {
    for (int fd = 0; fd <= 2; ++fd) dup2(nothing, fd);
    if (nothing > 2) close(nothing);
  }
  // The server goes quietly when the display does.
  XSetIOErrorHandler([](Display*) -> int { _exit(0); });
  Display* display = XOpenDisplay(nullptr);
  if (!display) _exit(1);
  ServeSelection(display, XInternAtom(display, "image/png", False), encoded.bytes, owned[1]);
  XCloseDisplay(display);
  _exit(0);
}

}  // namespace

X11Clipboard::X11Clipboard(const ImageCodec& codec, const System& system,
                           std::chrono::milliseconds timeout)
    : codec_(codec), system_(system), timeout_(timeout) {}

std::unique_ptr<ClipboardAccess> X11Clipboard::Open() {
  auto session = std::make_unique<X11Session>();
  if (!session->ok()) return nullptr;
  return std::make_unique<X11ClipboardAccess>(std::move(session), codec_, system_, timeout_);
}

bool X11Clipboard::DisplayAvailable() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return false;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  XCloseDisplay(display);
  return true;
}

std::vector<Text> PathsFromUriList(std::string_view uriList) {
  std::vector<Text> paths;
  size_t pos = 0;
  while (pos < uriList.size()) {
    size_t end = uriList.find('\n', pos);
    if (end == std::string_view::npos) end = uriList.size();
    std::string_view line = uriList.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (line.empty() || line[0] == '#') continue;
    constexpr std::string_view kScheme = "file://";
    if (line.substr(0, kScheme.size()) != kScheme) continue;
    std::string_view rest = line.substr(kScheme.size());
    // "file:///path" or "file://localhost/path"; other hosts are not local files.
    size_t slash = rest.find('/');
    if (slash == std::string_view::npos) continue;
    std::string_view host = rest.substr(0, slash);
    if (!host.empty() && host != "localhost") continue;
    std::string path = PercentDecoded(rest.substr(slash));
    if (path.find('\0') != std::string::npos) continue;
    paths.push_back(FromUtf8(path));
  }
  return paths;
}

std::string HtmlFormatFromFragment(std::string_view html) {
  constexpr std::string_view kStart = "<!--StartFragment-->";
  constexpr std::string_view kEnd = "<!--EndFragment-->";
  constexpr std::string_view kOpen = "<html><body>\r\n";
  constexpr std::string_view kClose = "\r\n</body></html>";
  const bool marked =
      html.find(kStart) != std::string_view::npos && html.find(kEnd) != std::string_view::npos;
  // The offsets are zero-padded to ten digits, so the header's length does not depend on them.
  constexpr const char* kHeader =
      "Version:0.9\r\nStartHTML:%010zu\r\nEndHTML:%010zu\r\nStartFragment:%010zu\r\n"
      "EndFragment:%010zu\r\n";
  char buffer[160];
  size_t headerLength = static_cast<size_t>(
      std::snprintf(buffer, sizeof buffer, kHeader, size_t{0}, size_t{0}, size_t{0}, size_t{0}));
  // The block is built once at its final size: a capture can be tens of megabytes.
  const size_t documentSize =
      marked ? html.size()
             : kOpen.size() + kStart.size() + html.size() + kEnd.size() + kClose.size();
  std::string block;
  block.reserve(headerLength + documentSize + 1);
  block.resize(headerLength);
  if (marked) {
    block.append(html);
  } else {
    block.append(kOpen).append(kStart).append(html).append(kEnd).append(kClose);
  }
  std::string_view document = std::string_view(block).substr(headerLength);
  size_t fragmentStart = headerLength + document.find(kStart) + kStart.size();
  size_t fragmentEnd = headerLength + document.find(kEnd);
  std::snprintf(buffer, sizeof buffer, kHeader, headerLength, headerLength + documentSize,
                fragmentStart, fragmentEnd);
  block.replace(0, headerLength, buffer, headerLength);
  block.push_back('\0');
  return block;
}

}  // namespace qorva

#include "platform/native_clipboard.h"

namespace qorva {

std::unique_ptr<Clipboard> CreateNativeClipboard(const ImageCodec& codec, const System& system) {
  if (!X11Clipboard::DisplayAvailable()) return nullptr;
  return std::make_unique<X11Clipboard>(codec, system);
}

}  // namespace qorva
