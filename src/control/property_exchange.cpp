#include "control/property_exchange.h"

#include "control/automation_coercion.h"

namespace qorva {

void ParameterListExchange::ExchangeVersion(uint16_t major, uint16_t minor) {
  version_ = {major, minor};
}

const Text* ParameterListExchange::Find(TextView name) const {
  for (const auto& [key, value] : parameters_) {
    if (EqualsIgnoreCase(key, name)) return &value;
  }
  return nullptr;
}

void ParameterListExchange::Store(TextView name, Text value) {
  for (auto& [key, stored] : parameters_) {
    if (EqualsIgnoreCase(key, name)) {
      stored = std::move(value);
      return;
    }
  }
  parameters_.emplace_back(Text(name), std::move(value));
}

void ParameterListExchange::ExchangeText(TextView name, Text& value, TextView defaultValue) {
  if (direction_ == ExchangeDirection::kSave) {
    Store(name, value);
    return;
  }
  const Text* found = Find(name);
  value = found ? *found : Text(defaultValue);
}

void ParameterListExchange::ExchangeInt(TextView name, int32_t& value, int32_t defaultValue) {
  if (direction_ == ExchangeDirection::kSave) {
    Store(name, FormatText("%d", value));
    return;
  }
  const Text* found = Find(name);
  Coercion result = found ? Coerce(Variant::String(*found), ValueType::kInt) : Coercion{};
  value = result.status == DispatchStatus::kOk ? result.value.i4 : defaultValue;
}

void ParameterListExchange::ExchangeUint(TextView name, uint32_t& value, uint32_t defaultValue) {
  if (direction_ == ExchangeDirection::kSave) {
    Store(name, FormatText("%u", value));
    return;
  }
  const Text* found = Find(name);
  Coercion result = found ? Coerce(Variant::String(*found), ValueType::kUint) : Coercion{};
  value = result.status == DispatchStatus::kOk ? result.value.ui4 : defaultValue;
}

}  // namespace qorva
