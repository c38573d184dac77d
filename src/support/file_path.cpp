#include "support/file_path.h"

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

}  // namespace qorva
