// What the installer asks of the operating system: where Windows lives, folder and file
// tests, writing the control file the program carries, running the registration tool.
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"

namespace qorva {

class SetupSystem {
 public:
  virtual ~SetupSystem() = default;

  // The Windows folder without a trailing separator, "C:\Windows" on most machines.
  virtual Text WindowsFolder() const = 0;
  virtual bool IsDirectory(TextView path) const = 0;
  virtual bool FileExists(TextView path) const = 0;
  // Writes the control file the program carries to `path`, creating or replacing it, with
  // nobody else allowed to open it meanwhile. False when the program carries no control
  // (missing or empty) or the file cannot be created or written in full.
  virtual bool WriteControlFile(TextView path) = 0;
  // Starts `commandLine` without a window of its own and without inherited handles and
  // waits until it ends. Its exit code, or none when it did not start.
  virtual std::optional<uint32_t> RunAndWait(TextView commandLine) = 0;
  // Deletes the file at `path`; false when it could not.
  virtual bool RemoveFile(TextView path) = 0;
};

}  // namespace qorva
