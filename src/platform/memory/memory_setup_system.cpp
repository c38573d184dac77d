#include "platform/memory/memory_setup_system.h"

namespace qorva {

namespace {

// Paths compare without regard to case, with or without a trailing separator.
Text Key(TextView path) {
  Text key = ToLower(path);
  while (!key.empty() && key.back() == u'\\') key.pop_back();
  return key;
}

Text ParentOf(const Text& key) {
  size_t slash = key.rfind(u'\\');
  return slash == Text::npos ? Text() : key.substr(0, slash);
}

}  // namespace

void MemorySetupSystem::AddFolder(TextView path) { folders_.insert(Key(path)); }

void MemorySetupSystem::AddFile(TextView path, std::string bytes) {
  files_[Key(path)] = std::move(bytes);
}

void MemorySetupSystem::Lock(TextView path) { locked_.insert(Key(path)); }

std::optional<std::string> MemorySetupSystem::FileBytes(TextView path) const {
  auto found = files_.find(Key(path));
  if (found == files_.end()) return std::nullopt;
  return found->second;
}

bool MemorySetupSystem::IsRegistered(TextView path) const {
  return registered_.contains(Key(path));
}

bool MemorySetupSystem::IsDirectory(TextView path) const { return folders_.contains(Key(path)); }

bool MemorySetupSystem::FileExists(TextView path) const { return files_.contains(Key(path)); }

bool MemorySetupSystem::WriteControlFile(TextView path) {
  Text key = Key(path);
  if (controlBytes.empty() || locked_.contains(key) || !folders_.contains(ParentOf(key)))
    return false;
  files_[key] = controlBytes;
  return true;
}

std::optional<uint32_t> MemorySetupSystem::RunAndWait(TextView commandLine) {
  commandsRun_.emplace_back(commandLine);
  if (!toolStarts) return std::nullopt;
  // regsvr32.exe /s [/u] "file"
  size_t open = commandLine.find(u'"');
  size_t close = commandLine.rfind(u'"');
  if (!commandLine.starts_with(u"regsvr32.exe /s ") || open == TextView::npos || close <= open)
    return 1;
  Text file = Key(commandLine.substr(open + 1, close - open - 1));
  bool unregister = Contains(commandLine.substr(0, open), u"/u");
  auto found = files_.find(file);
  if (found == files_.end() || found->second.empty()) return kToolCannotLoad;
  if (moduleRefuses) return kToolRegistrationFailed;
  if (unregister) {
    registered_.erase(file);
  } else {
    registered_.insert(file);
  }
  return 0;
}

bool MemorySetupSystem::RemoveFile(TextView path) {
  Text key = Key(path);
  if (locked_.contains(key)) return false;
  return files_.erase(key) > 0;
}

}  // namespace qorva
