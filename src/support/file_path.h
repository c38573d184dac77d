// Between the control's UTF-16 path text and the file system's own paths. Paths the
// control builds use the platform's separator ("\" on Windows, "/" elsewhere); every
// path it reads may use either.
#pragma once

#include <filesystem>

#include "base/text.h"

namespace qorva {

inline constexpr char16_t kPathSeparator =
    static_cast<char16_t>(std::filesystem::path::preferred_separator);

inline bool IsPathSeparator(char16_t unit) { return unit == u'\\' || unit == u'/'; }

// The file system path for `text`: taken unit for unit where the platform's paths are
// UTF-16, converted to UTF-8 elsewhere. A "\" stays a "\" (callers that mean it as a
// separator split on it themselves).
std::filesystem::path PathFromText(TextView text);
// The text of a file system path; the inverse of PathFromText.
Text TextFromPath(const std::filesystem::path& path);

enum class WriteOutcome { kWritten, kNotOpened, kCutShort };
// Writes `bytes` to the file at `path`, replacing what it held. kCutShort: the file was
// opened but not every byte reached it.
WriteOutcome WriteFileBytes(TextView path, std::string_view bytes);

// Deletes the file, read-only or not; failures are silent.
void RemoveFileForcibly(const std::filesystem::path& file);

}  // namespace qorva
