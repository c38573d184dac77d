// The control's paths as the standard library's file system takes them.
#pragma once

#include <filesystem>

#include "support/text.h"

namespace qorva {

// The path for `path`, through UTF-8 so that no text can make the conversion fail.
std::filesystem::path FileSystemPath(TextView path);

}  // namespace qorva
