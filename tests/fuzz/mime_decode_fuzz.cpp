// Decodes arbitrary text as a message into a private working folder. Whatever the part
// names say, every file must land directly in that folder.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "mime/mime_decode.h"
#include "posix/posix_system.h"
#include "support/encoding.h"

namespace {

namespace fs = std::filesystem;

const fs::path& TemporaryRoot() {
  static const fs::path root = [] {
    fs::path path = fs::temp_directory_path() / ("mime_decode_fuzz_" + std::to_string(getpid()));
    fs::create_directories(path);
    setenv("TMPDIR", path.c_str(), 1);
    return path;
  }();
  return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path& root = TemporaryRoot();
  static qorva::PosixSystem system;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  qorva::QorvaDecodeMime(system, qorva::FromUtf8(bytes));
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    bool folder = entry.path() == root / "qorvaTemp";
    bool inFolder = entry.path().parent_path() == root / "qorvaTemp";
    if (!folder && !(inFolder && !entry.is_directory())) std::abort();
  }
  // A message without parts makes no working folder.
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(root / "qorvaTemp", error)) {
    fs::remove(entry.path());
  }
  return 0;
}
