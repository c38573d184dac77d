#include "posix/posix_system.h"

#include <iconv.h>
#include <sys/random.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/string_table.h"

namespace qorva {

namespace {

constexpr const char* kAnsiCodePage = "CP949";
constexpr char kAnsiDefaultChar = '?';

// One conversion through iconv; a unit the target cannot hold, or a malformed input
// sequence of `inUnit` bytes, becomes `fallback`.
std::string Convert(const char* to, const char* from, const char* data, size_t size, size_t inUnit,
                    std::string_view fallback) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out;
  char buffer[4096];
  char* in = const_cast<char*>(data);
  size_t inLeft = size;
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: skip one unit (a whole surrogate pair when it is one).
    size_t skip = std::min(inUnit, inLeft);
    if (inUnit == 2 && inLeft >= 4) {
      uint16_t lead;
      std::memcpy(&lead, in, 2);
      if (lead >= 0xD800 && lead <= 0xDBFF) skip = 4;
    }
    in += skip;
    inLeft -= skip;
    out.append(fallback);
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::optional<FileVersion> PosixSystem::ModuleFileVersion() const {
  return FileVersion{QORVA_VERSION_MAJOR, QORVA_VERSION_MINOR, QORVA_VERSION_PATCH,
                     QORVA_VERSION_BUILD};
}

Text PosixSystem::LoadString(uint32_t id) const { return StringTableText(id); }

Guid PosixSystem::NewGuid() {
  uint8_t bytes[16] = {};
  size_t got = 0;
  while (got < sizeof bytes) {
    ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4: random
  bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);  // the standard variant
  Guid guid;
  guid.data1 = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
               bytes[3];
  guid.data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
  guid.data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
  std::memcpy(guid.data4.data(), bytes + 8, 8);
  return guid;
}

std::string PosixSystem::EncodeAnsi(TextView text) const {
  return Convert(kAnsiCodePage, "UTF-16LE", reinterpret_cast<const char*>(text.data()),
                 text.size() * sizeof(char16_t), 2, std::string_view(&kAnsiDefaultChar, 1));
}

Text PosixSystem::DecodeAnsi(std::string_view bytes) const {
  static constexpr char kQuestionMark[2] = {'?', 0};
  std::string utf16 = Convert("UTF-16LE", kAnsiCodePage, bytes.data(), bytes.size(), 1,
                              std::string_view(kQuestionMark, 2));
  Text out(utf16.size() / 2, u'\0');
  std::memcpy(out.data(), utf16.data(), out.size() * 2);
  return out;
}

uint32_t PosixSystem::CurrentThreadId() const { return static_cast<uint32_t>(gettid()); }

uint32_t PosixSystem::TickCount() const {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t ms =
      static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
  return static_cast<uint32_t>(ms);
}

}  // namespace qorva

#include "platform/native_system.h"

namespace qorva {

std::unique_ptr<System> CreateNativeSystem() { return std::make_unique<PosixSystem>(); }

}  // namespace qorva
