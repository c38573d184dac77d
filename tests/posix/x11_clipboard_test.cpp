#include "posix/x11_clipboard.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "platform/native_image_codec.h"
#include "posix/posix_system.h"
#include "support/encoding.h"

namespace qorva {
namespace {

TEST(UriList, FileUrisBecomeDecodedPaths) {
  std::vector<Text> paths = PathsFromUriList(
      "# copied files\r\n"
      "file:///home/u/my%20picture.png\r\n"
      "file://localhost/tmp/%ED%95%9C.jpg\n"
      "https://example.test/x.png\n"
      "file://otherhost/share/y.png\n"
      "file:///bad%00name\n"
      "file:///end%2");
  EXPECT_EQ(paths, (std::vector<Text>{u"/home/u/my picture.png", u"/tmp/한.jpg", u"/end%2"}));
  EXPECT_TRUE(PathsFromUriList("").empty());
}

TEST(HtmlFormat, OffsetsPointAtTheDocumentAndTheFragment) {
  for (std::string html :
       {std::string("<b>x</b>"), std::string("<html><body><!--StartFragment-->y<!--EndFragment-->"
                                             "</body></html>")}) {
    std::string block = HtmlFormatFromFragment(html);
    ASSERT_EQ(block.back(), '\0');
    auto offset = [&](const std::string& name) {
      size_t at = block.find(name + ":");
      return std::stoul(block.substr(at + name.size() + 1, 10));
    };
    EXPECT_EQ(block.substr(offset("StartHTML"), 6), "<html>") << html;
    EXPECT_EQ(offset("EndHTML"), block.size() - 1) << html;
    std::string fragment =
        block.substr(offset("StartFragment"), offset("EndFragment") - offset("StartFragment"));
    EXPECT_EQ(fragment, html.find("y") != std::string::npos ? "y" : html);
  }
}

// A private X server on a display number it chooses itself. Xvfb prints that number once
// it accepts clients, so the test neither races its start nor collides with another server;
// without -noreset it would reset, refusing connections for a moment, whenever its last
// client leaves.
class PrivateXServer {
 public:
  PrivateXServer() {
    FILE* out = popen("Xvfb -displayfd 1 -noreset -nolisten tcp 2>/dev/null & echo $!", "r");
    if (out == nullptr) return;
    int display = -1;
    if (std::fscanf(out, "%d %d", &pid_, &display) == 2) display_ = ":" + std::to_string(display);
    pclose(out);
    if (const char* previous = std::getenv("DISPLAY")) saved_ = previous;
    if (!display_.empty()) setenv("DISPLAY", display_.c_str(), 1);
  }
  ~PrivateXServer() {
    if (pid_ > 0) kill(pid_, SIGTERM);
    if (saved_) {
      setenv("DISPLAY", saved_->c_str(), 1);
    } else {
      unsetenv("DISPLAY");
    }
  }
  bool running() const { return !display_.empty(); }

 private:
  pid_t pid_ = -1;
  std::string display_;
  std::optional<std::string> saved_;
};

// A bitmap put on a real X server's clipboard comes back from it.
TEST(X11Clipboard, PutsABitmapAndReadsItBack) {
  if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "no Xvfb";
  PrivateXServer server;
  ASSERT_TRUE(server.running());

  PosixSystem system;
  auto codec = CreateNativeImageCodec();
  X11Clipboard clipboard(*codec, system, std::chrono::milliseconds(2000));
  // Puts `bitmap` and reads the clipboard until a picture of its width comes back: the
  // serving process needs a moment to take the selection over.
  auto putAndReadBack = [&](const Bitmap& bitmap) -> std::optional<Bitmap> {
    auto put = clipboard.Open();
    if (!put || !put->PutBitmap(bitmap)) return std::nullopt;
    put.reset();
    for (int attempt = 0; attempt < 20; ++attempt) {
      auto access = clipboard.Open();
      if (!access) return std::nullopt;
      std::optional<Bitmap> got = access->GetBitmap();
      if (got && got->width() == bitmap.width()) return got;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::nullopt;
  };

  Bitmap picture = *Bitmap::Create(30, 10, PixelFormat::kRgb24);
  picture.Fill(MakeArgb(255, 10, 200, 30));
  std::optional<Bitmap> back = putAndReadBack(picture);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->height(), 10);
  EXPECT_EQ(back->PixelAt(5, 5), MakeArgb(255, 10, 200, 30));

  // A noisy screen-sized picture makes a PNG of megabytes: it goes in pieces.
  Bitmap noise = *Bitmap::Create(800, 600, PixelFormat::kRgb24);
  uint32_t seed = 12345;
  for (int32_t y = 0; y < noise.height(); ++y) {
    for (int32_t x = 0; x < noise.width(); ++x) {
      seed = seed * 1103515245 + 12345;
      noise.SetPixel(x, y, 0xFF000000u | (seed >> 8));
    }
  }
  std::optional<Bitmap> large = putAndReadBack(noise);
  ASSERT_TRUE(large);
  EXPECT_EQ(large->height(), 600);
  for (auto [x, y] : {std::pair{0, 0}, std::pair{799, 599}, std::pair{400, 300}}) {
    EXPECT_EQ(large->PixelAt(x, y), noise.PixelAt(x, y)) << x << "," << y;
  }
}

}  // namespace
}  // namespace qorva
