// The installer's system on Windows: the control file carried as a resource of the
// program, the system folders, and the registration tool run from the system folder.
#pragma once

#include <windows.h>

#include "platform/setup_system.h"

namespace qorva {

class Win32SetupSystem final : public SetupSystem {
 public:
  // `program` is the module that carries the control resource.
  explicit Win32SetupSystem(HINSTANCE program) : program_(program) {}

  Text WindowsFolder() const override;
  bool IsDirectory(TextView path) const override;
  bool FileExists(TextView path) const override;
  bool WriteControlFile(TextView path) override;
  // The program named first in `commandLine` is taken from the system folder only: the
  // installer runs with administrator rights, often from a download folder, and must not
  // start a program someone put beside it.
  std::optional<uint32_t> RunAndWait(TextView commandLine) override;
  bool RemoveFile(TextView path) override;

 private:
  HINSTANCE program_;
};

}  // namespace qorva
