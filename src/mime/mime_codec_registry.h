// The process-wide codec registries and the header folding switch. Names are compared
// without regard to ASCII case; a lookup makes a new codec the caller owns.
#pragma once

#include <memory>
#include <string_view>

#include "mime/mime_codecs.h"
#include "mime/mime_field_codecs.h"

namespace qorva {

using TransferCodecFactory = std::unique_ptr<CMimeCodeBase> (*)();
using FieldCodecFactory = std::unique_ptr<CFieldCodeBase> (*)();

// The codec for a Content-Transfer-Encoding value; an empty name looks up "7bit", a
// name without entry gives a pass-through codec.
std::unique_ptr<CMimeCodeBase> TransferCodecFor(std::string_view name);
// The codec for a header field name; names without entry give a CFieldCodeBase.
std::unique_ptr<CFieldCodeBase> FieldCodecFor(std::string_view fieldName);

// Removes every entry of that name, then appends the factory unless it is null.
void RegisterTransferCodec(std::string_view name, TransferCodecFactory factory);
void RegisterFieldCodec(std::string_view fieldName, FieldCodecFactory factory);

// From the first call on, field values are written folded and read unfolded, and 7bit
// and 8bit contents are written with line breaks, for the rest of the process.
void EnableHeaderFolding();
bool HeaderFoldingEnabled();

// Puts the registries and the switch back to their state at module start.
void ResetMimeCodecRegistries();

}  // namespace qorva
