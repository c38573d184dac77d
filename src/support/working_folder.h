// The working folder under the user's temporary directory that holds every file the
// control makes, and the small file helpers around it. Paths are built with the
// platform's separator; paths passed in may use "\" or "/".
#pragma once

#include <cstdint>

#include "base/text.h"

namespace qorva {

class Clock;
class System;

// The one sub-folder name every caller passes.
inline constexpr char16_t kWorkingFolderName[] = u"qorvaTemp";

// Longest folder text EnsureFolderTree handles (in UTF-16 units, as on Windows).
inline constexpr size_t kMaxFolderPathLength = 259;

// The temporary directory followed by `subFolder` and a separator (the temporary
// directory alone when `subFolder` is empty), after making sure the folder exists.
// The temporary directory always ends in a separator; when it cannot be determined it
// is empty, so the result is relative to the current directory.
Text WorkingFolderPath(TextView subFolder);

// Creates every missing folder on the folder part of `path`: a path naming a file
// creates the folders above it, a path ending in a separator the whole path. A folder
// part longer than kMaxFolderPathLength is refused. Failures are silent.
void EnsureFolderTree(TextView path);

// Deletes the files directly in the temporary directory's `subFolder` whose last write
// is more than 48 hours before `clock`'s now. Sub-folders are never entered and links
// are never followed or removed. Failures are silent.
void PurgeWorkingFolder(const Clock& clock, TextView subFolder);

// 32 lower-case hexadecimal digits from a fresh GUID, in its usual field order.
Text NewUniqueName(System& system);

// A new file's path in the working folder: a unique name and `extension` (no dot).
Text NewWorkingFilePath(System& system, TextView extension);

// `folder` + `name` when nothing is there yet; otherwise the first free of "stem (2).ext",
// "stem (3).ext" and so on, so that a file another reference still shows is never
// replaced (after 9999 taken names, a unique name with the same extension).
Text UnusedFilePath(System& system, TextView folder, TextView name);

// "1023Bytes", "1.00KB", "1.00MB", "5.00GB" and so on.
Text FileSizeText(uint64_t size);

// The size in bytes of the file at `path`; 0 when its status cannot be read.
uint64_t FileSizeOf(TextView path);

}  // namespace qorva
