#include "platform/memory/memory_browser.h"

namespace qorva {

PageCallOutcome MemoryPage::CallFunction(TextView name, std::span<const Text> arguments) {
  if (!hasScript) return {PageCallStatus::kNoScript, {}, {}};
  auto found = functions_.find(Text(name));
  if (found == functions_.end()) return {PageCallStatus::kFailed, {}, u"Unknown name."};
  calls_.push_back({Text(name), {arguments.begin(), arguments.end()}});
  return found->second(arguments);
}

void MemoryPage::Define(Text name, const PageValue& value) {
  Define(std::move(name), [value](std::span<const Text>) {
    return PageCallOutcome{PageCallStatus::kOk, value, {}};
  });
}

}  // namespace qorva
