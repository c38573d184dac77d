// The installer's system held in memory: folders, files with their bytes, files another
// process holds open, and a registration tool that records which control files are
// registered, answering with the exit codes of the real one.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/setup_system.h"

namespace qorva {

class MemorySetupSystem final : public SetupSystem {
 public:
  // The registration tool's exit codes for a file it cannot load and for a module whose
  // own registration failed.
  static constexpr uint32_t kToolCannotLoad = 3;
  static constexpr uint32_t kToolRegistrationFailed = 5;

  Text windowsFolder = u"C:\\Windows";
  // The bytes of the control the program carries; empty as if the resource were missing.
  std::string controlBytes;
  // False: the registration tool cannot be started.
  bool toolStarts = true;
  // True: the module's own registration and unregistration fail.
  bool moduleRefuses = false;

  void AddFolder(TextView path);
  void AddFile(TextView path, std::string bytes);
  // Another process holds the file open without sharing: it can be neither replaced nor
  // deleted, but the tool can still load and register it.
  void Lock(TextView path);

  // The bytes of the file at `path`, or none.
  std::optional<std::string> FileBytes(TextView path) const;
  bool IsRegistered(TextView path) const;
  const std::vector<Text>& commandsRun() const { return commandsRun_; }

  Text WindowsFolder() const override { return windowsFolder; }
  bool IsDirectory(TextView path) const override;
  bool FileExists(TextView path) const override;
  bool WriteControlFile(TextView path) override;
  std::optional<uint32_t> RunAndWait(TextView commandLine) override;
  bool RemoveFile(TextView path) override;

 private:
  std::set<Text> folders_;  // keys lower-cased, without a trailing separator
  std::map<Text, std::string> files_;
  std::set<Text> locked_;
  std::set<Text> registered_;
  std::vector<Text> commandsRun_;
};

}  // namespace qorva
