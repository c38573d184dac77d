// Runs the MIME encoder and decoder on real files for the peer tests:
//   mime_e2e_driver encode MESSAGE HTML [ENTRY...]   (entries registered as images)
//   mime_e2e_driver decode MESSAGE HTML
// The working folder follows TMPDIR. HTML files are UTF-8; messages are the bytes of the
// text in the system code page.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mime/mime_decode.h"
#include "mime/mime_encode.h"
#include "platform/native_clock.h"
#include "posix/posix_content_types.h"
#include "posix/posix_system.h"
#include "support/encoding.h"

namespace {

std::string Read(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Write(const char* path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace qorva;
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s encode|decode MESSAGE HTML [ENTRY...]\n", argv[0]);
    return 2;
  }
  PosixSystem system;
  std::string mode = argv[1];
  if (mode == "encode") {
    auto clock = CreateNativeClock();
    MimeTypesFile types("/etc/mime.types");
    MimeEncodeContext context{system, *clock, types, {}, 1, 0, 3, {}, {}, false, {}};
    Text charset = u"utf-8";
    std::vector<Text> images;
    std::vector<Text> files;
    for (int i = 4; i < argc; ++i) images.push_back(FromUtf8(argv[i]));
    Text message = QorvaEncodeMime(context, charset, {images, files}, FromUtf8(Read(argv[3])), 0);
    if (message.empty()) return 1;
    return Write(argv[2], ToAnsi(system, message)) ? 0 : 1;
  }
  if (mode == "decode") {
    Text html = QorvaDecodeMime(system, FromAnsi(system, Read(argv[2])));
    return Write(argv[3], ToUtf8(html)) ? 0 : 1;
  }
  return 2;
}
