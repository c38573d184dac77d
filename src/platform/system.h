// What the control asks of the operating system itself: its module's version and
// string table, fresh GUIDs, the ANSI code page, the thread and the tick count.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"

namespace qorva {

// File version, most significant part first (1.0.0.116 is {1, 0, 0, 116}).
using FileVersion = std::array<uint16_t, 4>;

// A GUID in its usual field order.
struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  std::array<uint8_t, 8> data4{};
};

class System {
 public:
  virtual ~System() = default;

  // The file version of the control's own module, or none when it cannot be read.
  virtual std::optional<FileVersion> ModuleFileVersion() const = 0;
  // String resource `id` of the control's module; "" when missing.
  virtual Text LoadString(uint32_t id) const = 0;
  // A new random GUID.
  virtual Guid NewGuid() = 0;
  // ANSI code page conversions; unmappable characters become the default character.
  virtual std::string EncodeAnsi(TextView text) const = 0;
  virtual Text DecodeAnsi(std::string_view bytes) const = 0;

  // The calling thread's identifier and the milliseconds since the system started
  // (wrapping after 49.7 days), which the upload mixes into its form boundary; 0 where
  // a system cannot tell.
  virtual uint32_t CurrentThreadId() const { return 0; }
  virtual uint32_t TickCount() const { return 0; }
};

}  // namespace qorva
