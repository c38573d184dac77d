// The scripting interface as data: every property and method with its name, dispatch
// id, arguments, result and mode guard. The COM server, the command line and the type
// library check all read this one table.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

#include "control/automation_coercion.h"
#include "support/variant.h"

namespace qorva {

class CQorvaeditorCtrl;

enum class MemberKind { kProperty, kMethod };

// kNotInContainer (guard A) refuses to run in container mode; kContainerOnly (guard B)
// runs only in it.
enum class Guard { kNone, kNotInContainer, kContainerOnly };

// Methods make sure the control has its window before anything else, all but one.
enum class WindowCheck { kNo, kYes };
enum class Cursor { kNormal, kWait };

// The invoke flags of automation.
enum InvokeFlags : uint16_t {
  kInvokeMethod = 1,
  kInvokePropertyGet = 2,
  kInvokePropertyPut = 4,
};

struct DispatchArg {
  std::string_view name;
  ValueType type;
};

using PropertyGetter = Variant (*)(CQorvaeditorCtrl&);
using PropertySetter = void (*)(CQorvaeditorCtrl&, const Variant&);
// Receives the arguments already coerced to their declared types.
using MethodHandler = Variant (*)(CQorvaeditorCtrl&, std::span<const Variant>);

struct DispatchEntry {
  std::string_view name;
  int32_t id;
  MemberKind kind;
  ValueType type;  // of the property, or of the method's result
  std::vector<DispatchArg> args;
  Guard guard = Guard::kNone;
  WindowCheck windowCheck = WindowCheck::kYes;
  Cursor cursor = Cursor::kNormal;  // kWait: the wait cursor shows while the method runs
  PropertyGetter get = nullptr;
  PropertySetter put = nullptr;
  // Null while the behaviour is not built: the method then answers its failure value.
  MethodHandler call = nullptr;
};

std::span<const DispatchEntry> DispatchTable();

// The scripting type of a C++ value type, and the conversions between the two.
template <typename T>
constexpr ValueType TypeOf() {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_void_v<U>) return ValueType::kNone;
  if constexpr (std::is_same_v<U, Text> || std::is_same_v<U, TextView>) return ValueType::kString;
  if constexpr (std::is_same_v<U, int32_t>) return ValueType::kInt;
  if constexpr (std::is_same_v<U, uint32_t>) return ValueType::kUint;
}
inline Variant ToVariant(Text value) { return Variant::String(std::move(value)); }
inline Variant ToVariant(int32_t value) { return Variant::Int(value); }
inline Variant ToVariant(uint32_t value) { return Variant::Uint(value); }
// The value of a variant already coerced to T's scripting type; a TextView refers to
// the variant's text.
template <typename T>
T FromVariant(const Variant& value) {
  if constexpr (std::is_same_v<T, Text> || std::is_same_v<T, TextView>) return value.text;
  if constexpr (std::is_same_v<T, int32_t>) return value.i4;
  if constexpr (std::is_same_v<T, uint32_t>) return value.ui4;
}

// Looks a member up by name as automation does, without regard to letter case.
const DispatchEntry* FindDispatchEntry(std::u16string_view name);
const DispatchEntry* FindDispatchEntry(int32_t id);

struct InvokeResult {
  DispatchStatus status = DispatchStatus::kOk;
  Variant value;
  // Index of the argument that could not be coerced, on kTypeMismatch or kOverflow.
  uint32_t badArgument = 0;
};

// Calls member `id` with `args` in declaration order. Methods accept kInvokeMethod or
// kInvokePropertyGet; properties read with no argument and write with one.
InvokeResult Invoke(CQorvaeditorCtrl& control, int32_t id, uint16_t flags,
                    std::span<const Variant> args);

std::string_view ValueTypeName(ValueType type);
std::string_view GuardName(Guard guard);

}  // namespace qorva
