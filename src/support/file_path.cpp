#include "support/file_path.h"

#include <fstream>
#include <system_error>

#include <string>

#include "support/encoding.h"

namespace qorva {

namespace {

using NativeChar = std::filesystem::path::value_type;

// Windows paths are UTF-16 already; elsewhere they are UTF-8 bytes.
template <typename Char>
std::basic_string<Char> ToNative(TextView text) {
  if constexpr (sizeof(Char) == 1) {
    return ToUtf8(text);
  } else {
    static_assert(sizeof(Char) == sizeof(char16_t), "wide paths are UTF-16");
    return std::basic_string<Char>(text.begin(), text.end());
  }
}

template <typename Char>
Text FromNative(const std::basic_string<Char>& native) {
  if constexpr (sizeof(Char) == 1) {
    return FromUtf8(native);
  } else {
    return Text(native.begin(), native.end());
  }
}

}  // namespace

std::filesystem::path PathFromText(TextView text) {
  return std::filesystem::path(ToNative<NativeChar>(text));
}

Text TextFromPath(const std::filesystem::path& path) { return FromNative(path.native()); }

WriteOutcome WriteFileBytes(TextView path, std::string_view bytes) {
  std::ofstream out(PathFromText(path), std::ios::binary | std::ios::trunc);
  if (!out) return WriteOutcome::kNotOpened;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out ? WriteOutcome::kWritten : WriteOutcome::kCutShort;
}

void RemoveFileForcibly(const std::filesystem::path& file) {
  std::error_code error;
  std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add, error);
  std::filesystem::remove(file, error);
}

}  // namespace qorva
