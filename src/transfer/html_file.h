// The editor's HTML saved as a file the user chose.
#pragma once

#include <string>

#include "base/text.h"

namespace qorva {

// `path` with ".htm" appended when it has no extension (no "." anywhere in it).
Text WithHtmlExtension(TextView path);

// The file's bytes: the UTF-8 byte-order mark when `charset` is "utf-8" in any letter
// case, then the HTML as UTF-8 with every LF or CR LF written as CR LF (a lone CR stays).
std::string HtmlFileBytes(TextView html, TextView charset);

enum class HtmlSaveOutcome { kSaved, kNotSaved };
// Writes the HTML file at `path`, replacing what was there. kNotSaved when the file
// cannot be created or not every byte reaches it; a partly written file is removed.
HtmlSaveOutcome SaveHtmlFile(TextView path, TextView html, TextView charset);

}  // namespace qorva
