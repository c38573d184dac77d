// The system's table of content types by file extension (on Windows the "Content Type"
// values of the registry's file-type keys, elsewhere the system's mime.types file).
#pragma once

#include <optional>

#include "base/text.h"

namespace qorva {

class ContentTypes {
 public:
  virtual ~ContentTypes() = default;

  // The content type registered for `extension`, given with its leading "." (".png");
  // none when the system knows no type for it.
  virtual std::optional<Text> ContentTypeOf(TextView extension) const = 0;
};

}  // namespace qorva
