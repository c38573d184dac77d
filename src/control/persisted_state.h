// The control's persistent state in a stream: the state version, then the parameters
// as name/value pairs of UTF-16 text, each length-prefixed, little-endian.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "control/property_exchange.h"

namespace qorva {

inline constexpr uint16_t kPersistedStateMajor = 1;
inline constexpr uint16_t kPersistedStateMinor = 0;

std::string SerializePersistedState(const ParameterListExchange::Parameters& parameters);

// None when the bytes are not a state of version 1.x or are cut short; limits on counts
// and lengths keep a corrupt stream from asking for absurd memory.
std::optional<ParameterListExchange::Parameters> ParsePersistedState(std::string_view bytes);

}  // namespace qorva
