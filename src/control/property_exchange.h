// The host's persistence, as the parameter exchange sees it: one call per parameter,
// which on load fills the member (the default when the host has no value) and on save
// hands the member to the host.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "base/text.h"

namespace qorva {

enum class ExchangeDirection { kLoad, kSave };

class PropertyExchange {
 public:
  virtual ~PropertyExchange() = default;

  virtual ExchangeDirection direction() const = 0;
  // The persisted-state version, recorded before the parameters.
  virtual void ExchangeVersion(uint16_t major, uint16_t minor) = 0;
  virtual void ExchangeText(TextView name, Text& value, TextView defaultValue) = 0;
  virtual void ExchangeInt(TextView name, int32_t& value, int32_t defaultValue) = 0;
  virtual void ExchangeUint(TextView name, uint32_t& value, uint32_t defaultValue) = 0;
};

// The name/value pairs of an object element's parameters. Names match without regard
// to letter case; integers are read as automation reads a string, and a value that is
// no number gives the default.
class ParameterListExchange final : public PropertyExchange {
 public:
  using Parameters = std::vector<std::pair<Text, Text>>;

  ParameterListExchange(ExchangeDirection direction, Parameters parameters = {})
      : direction_(direction), parameters_(std::move(parameters)) {}

  ExchangeDirection direction() const override { return direction_; }
  void ExchangeVersion(uint16_t major, uint16_t minor) override;
  void ExchangeText(TextView name, Text& value, TextView defaultValue) override;
  void ExchangeInt(TextView name, int32_t& value, int32_t defaultValue) override;
  void ExchangeUint(TextView name, uint32_t& value, uint32_t defaultValue) override;

  const Parameters& parameters() const { return parameters_; }
  // The version recorded by the last exchange.
  std::pair<uint16_t, uint16_t> version() const { return version_; }

 private:
  const Text* Find(TextView name) const;
  void Store(TextView name, Text value);

  ExchangeDirection direction_;
  Parameters parameters_;
  std::pair<uint16_t, uint16_t> version_{0, 0};
};

}  // namespace qorva
