#include "control/persisted_state.h"

#include <cstdint>

namespace qorva {

namespace {

constexpr uint32_t kMaxParameters = 1024;
constexpr uint32_t kMaxNameUnits = 256;
constexpr uint32_t kMaxValueUnits = 16 * 1024 * 1024;

void PutU16(std::string& out, uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

void PutU32(std::string& out, uint32_t value) {
  PutU16(out, static_cast<uint16_t>(value & 0xFFFF));
  PutU16(out, static_cast<uint16_t>(value >> 16));
}

void PutText(std::string& out, TextView text) {
  PutU32(out, static_cast<uint32_t>(text.size()));
  for (char16_t unit : text) PutU16(out, unit);
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  std::optional<uint16_t> U16() {
    if (bytes_.size() - pos_ < 2) return std::nullopt;
    auto low = static_cast<unsigned char>(bytes_[pos_]);
    auto high = static_cast<unsigned char>(bytes_[pos_ + 1]);
    pos_ += 2;
    return static_cast<uint16_t>(low | (high << 8));
  }
  std::optional<uint32_t> U32() {
    auto low = U16();
    auto high = U16();
    if (!low || !high) return std::nullopt;
    return static_cast<uint32_t>(*low | (uint32_t{*high} << 16));
  }
  std::optional<Text> String(uint32_t maxUnits) {
    auto length = U32();
    if (!length || *length > maxUnits || (bytes_.size() - pos_) / 2 < *length) return std::nullopt;
    Text text;
    text.reserve(*length);
    for (uint32_t i = 0; i < *length; ++i) text.push_back(*U16());
    return text;
  }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

}  // namespace

std::string SerializePersistedState(const ParameterListExchange::Parameters& parameters) {
  std::string out;
  PutU16(out, kPersistedStateMajor);
  PutU16(out, kPersistedStateMinor);
  PutU32(out, static_cast<uint32_t>(parameters.size()));
  for (const auto& [name, value] : parameters) {
    PutText(out, name);
    PutText(out, value);
  }
  return out;
}

std::optional<ParameterListExchange::Parameters> ParsePersistedState(std::string_view bytes) {
  Reader reader(bytes);
  auto major = reader.U16();
  auto minor = reader.U16();
  auto count = reader.U32();
  if (!major || !minor || !count || *major != kPersistedStateMajor || *count > kMaxParameters) {
    return std::nullopt;
  }
  ParameterListExchange::Parameters parameters;
  for (uint32_t i = 0; i < *count; ++i) {
    auto name = reader.String(kMaxNameUnits);
    if (!name) return std::nullopt;
    auto value = reader.String(kMaxValueUnits);
    if (!value) return std::nullopt;
    parameters.emplace_back(std::move(*name), std::move(*value));
  }
  return parameters;
}

}  // namespace qorva
