// The installer's command line is whatever a deployment script passes: reading it never
// overruns, a list of pages is accepted only with an install and only when every entry
// reads, and what the install writes is what the control then reads as its policy.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "browser/site_lock.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_setup_system.h"
#include "setup/setup_wizard.h"
#include "support/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One argument a line.
  std::vector<qorva::Text> arguments;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  while (!bytes.empty()) {
    size_t end = std::min(bytes.find('\n'), bytes.size());
    arguments.push_back(qorva::FromUtf8(bytes.substr(0, end)));
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
  }
  qorva::SetupArguments parsed = qorva::ParseSetupArguments(arguments);
  if (!parsed.allowedOrigins) return 0;
  if (parsed.request != qorva::SetupRequest::kSilentInstall) std::abort();
  int unreadable = -1;
  if (qorva::OriginList::Parse(*parsed.allowedOrigins, &unreadable).empty() || unreadable != 0)
    std::abort();

  qorva::MemorySetupSystem system;
  system.controlBytes = "MZ";
  system.AddFolder(u"C:\\Windows\\system32");
  qorva::MemoryRegistry registry;
  if (qorva::RunUnattendedInstall(qorva::ControlBits::k64, parsed.allowedOrigins, system,
                                  registry) != qorva::SetupOutcome::kInstalled) {
    std::abort();
  }
  if (registry.ValueOf(qorva::RegistryHive::kLocalMachine, qorva::kSitePolicyKey,
                       u"AllowedOrigins") != qorva::MemoryRegistry::Value(*parsed.allowedOrigins))
    std::abort();
  if (!qorva::ReadSitePolicy(registry).allowedOrigins) std::abort();
  return 0;
}
