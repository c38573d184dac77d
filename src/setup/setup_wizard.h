// The installer's logic: which control file goes where, the registration tool's command
// lines, the outcome of an install or uninstall and the message and exit status for it,
// the look of each wizard page, and the command line of the unattended mode with the site
// policy it can write. The program around it only shows pages and message boxes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "base/text.h"
#include "platform/registry.h"
#include "platform/setup_system.h"
#include "platform/user_interface.h"

namespace qorva {

// The setup page's mode, with the values the page keeps.
enum class SetupMode : int32_t { kInstall = 32, kUninstall = 64 };

// Which control the program carries. A 32-bit control on 64-bit Windows belongs in the
// 32-bit system folder; a 64-bit one always in the native system folder.
enum class ControlBits { k32, k64 };

enum class SetupOutcome {
  kInstalled,
  kNotWritable,    // the control file could not be written; nothing else was done
  kInstallFailed,  // the registration tool did not start or reported a failure
  kUninstalled,
  kUninstallFailed,   // the registration tool did not start or reported a failure
  kModuleNotFound,    // nothing to uninstall; nothing was done
  kPolicyNotWritten,  // the unattended install's list of pages could not be written;
                      // nothing was installed
};

struct SetupMessage {
  TextView text;
  TextView caption;
  MessageIcon icon;
};

// The mode the setup page's radio buttons give: install checked gives install, otherwise
// uninstall checked gives uninstall; with neither checked the mode stays `current`.
SetupMode ModeFromRadios(SetupMode current, bool installChecked, bool uninstallChecked);

// The folder the control goes into, with a trailing separator.
Text TargetFolder(const SetupSystem& system, ControlBits bits);
Text TargetFile(TextView folder);
Text RegisterCommand(TextView file);
Text UnregisterCommand(TextView file);

// Installs or uninstalls the control for `mode`. An uninstall that the tool refuses keeps
// the file, so that the system stays registered and consistent; a file the tool has
// unregistered but that cannot be deleted (still loaded somewhere) is not a failure.
SetupOutcome RunSetupStep(SetupMode mode, ControlBits bits, SetupSystem& system);

SetupMessage MessageFor(SetupOutcome outcome);
// 0 for success; each failure its own status, documented for administrators.
int ExitStatusFor(SetupOutcome outcome);
inline constexpr int kUsageExitStatus = 1;

// The three pages of the wizard and what each shows when it becomes current.
enum class SetupPage { kStart, kSetup, kEnd };
struct PageLook {
  TextView title;  // the sheet's title and window text
  bool back;
  bool next;
  bool finish;
  bool cancelEnabled;
};
PageLook LookOf(SetupPage page);

// The setup page's state from its initialisation to the end of the program. Next on the
// page runs the step; going back and pressing Next again runs it again.
class SetupWizard {
 public:
  SetupWizard(SetupSystem& system, UserInterface& ui, ControlBits bits)
      : system_(system), ui_(ui), bits_(bits) {}

  // The setup page starts in install mode with the install radio button checked.
  void InitSetupPage() { mode_ = SetupMode::kInstall; }
  SetupMode mode() const { return mode_; }

  // Next on the setup page: reads the radio buttons, runs the step under the wait cursor,
  // reports the outcome in a message box. The wizard moves on whatever the outcome.
  SetupOutcome OnSetupNext(bool installChecked, bool uninstallChecked);

 private:
  SetupSystem& system_;
  UserInterface& ui_;
  ControlBits bits_;
  SetupMode mode_ = SetupMode::kInstall;
};

// What the program's arguments ask for: no arguments run the wizard; "/S" installs and
// "/S /U" uninstalls without showing it (letters in either case, "-" for "/", either
// order). An install may add "/ORIGINS=list": the pages that may drive the control, in
// the syntax of the site lock's policy; a list with an entry that cannot be read, or with
// no entry, is refused rather than written, since it would lock out pages the
// administrator meant to allow. Anything else is a usage error.
enum class SetupRequest { kWizard, kSilentInstall, kSilentUninstall, kUsageError };
struct SetupArguments {
  SetupRequest request = SetupRequest::kWizard;
  std::optional<Text> allowedOrigins;  // only with kSilentInstall
  bool operator==(const SetupArguments&) const = default;
};
SetupArguments ParseSetupArguments(std::span<const Text> arguments);

// The unattended install. A list of pages is written first, as the machine's policy (the
// control goes into the system folder, so the install is the machine's): a control in
// place without the lock the administrator asked for is what must not happen. Without a
// list the policy, which may come from elsewhere, stays as it is.
SetupOutcome RunUnattendedInstall(ControlBits bits, const std::optional<Text>& allowedOrigins,
                                  SetupSystem& system, Registry& registry);

// The text written for a usage error in unattended mode.
TextView SetupUsageText();

}  // namespace qorva
