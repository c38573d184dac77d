#include "setup/setup_wizard.h"

#include <utility>

#include "browser/site_lock.h"

namespace qorva {

namespace {

// Appended piece by piece: the operator+ form trips a false overlap warning of GCC 12.
Text Quoted(TextView file) {
  Text quoted;
  quoted.reserve(file.size() + 2);
  quoted.append(u"\"").append(file).append(u"\"");
  return quoted;
}

// "/ORIGINS=list": the list, or none for another argument.
std::optional<TextView> OriginsArgument(TextView argument) {
  constexpr TextView kName = u"origins=";
  if (argument.size() <= kName.size() || (argument[0] != u'/' && argument[0] != u'-'))
    return std::nullopt;
  if (ToLower(argument.substr(1, kName.size())) != kName) return std::nullopt;
  return argument.substr(1 + kName.size());
}

bool IsUsableOriginList(TextView text) {
  int unreadable = 0;
  OriginList list = OriginList::Parse(text, &unreadable);
  return unreadable == 0 && !list.empty();
}

// Where an uninstall ends once the tool has run: its exit code decides, and a file the tool
// refused to unregister stays, so that nothing registered points at a missing file.
SetupOutcome FinishUninstall(std::optional<uint32_t> exitCode, TextView file, SetupSystem& system) {
  if (!exitCode || *exitCode != 0) return SetupOutcome::kUninstallFailed;
  // A browser that still has the control loaded keeps the file; it is unregistered, so
  // the uninstall has done what matters.
  system.RemoveFile(file);
  return SetupOutcome::kUninstalled;
}

}  // namespace

SetupMode ModeFromRadios(SetupMode current, bool installChecked, bool uninstallChecked) {
  if (installChecked) return SetupMode::kInstall;
  if (uninstallChecked) return SetupMode::kUninstall;
  return current;
}

Text TargetFolder(const SetupSystem& system, ControlBits bits) {
  Text windows = system.WindowsFolder();
  if (!windows.empty() && windows.back() == u'\\') windows.pop_back();
  if (bits == ControlBits::k32) {
    Text wow64 = windows + u"\\SysWOW64\\";
    if (system.IsDirectory(wow64)) return wow64;
  }
  return windows + u"\\system32\\";
}

Text TargetFile(TextView folder) { return Text(folder) + u"qorvaeditor.ocx"; }

Text RegisterCommand(TextView file) { return u"regsvr32.exe /s " + Quoted(file); }

Text UnregisterCommand(TextView file) { return u"regsvr32.exe /s /u " + Quoted(file); }

SetupOutcome RunSetupStep(SetupMode mode, ControlBits bits, SetupSystem& system) {
  Text file = TargetFile(TargetFolder(system, bits));
  if (mode == SetupMode::kInstall) {
    if (!system.WriteControlFile(file)) return SetupOutcome::kNotWritable;
    std::optional<uint32_t> exitCode = system.RunAndWait(RegisterCommand(file));
    // A tool that ran but could not register leaves a control no page can create.
    if (!exitCode || *exitCode != 0) return SetupOutcome::kInstallFailed;
    return SetupOutcome::kInstalled;
  }
  if (!system.FileExists(file)) return SetupOutcome::kModuleNotFound;
  return FinishUninstall(system.RunAndWait(UnregisterCommand(file)), file, system);
}

SetupMessage MessageFor(SetupOutcome outcome) {
  switch (outcome) {
    case SetupOutcome::kInstalled:
      return {u"설치에 성공했습니다.", u"설치 성공", MessageIcon::kNone};
    case SetupOutcome::kNotWritable:
      return {
          u"다른 IE 브라우저가 실행 중에 있습니다.\n\nQORVA Editor 플러그인을 사용 중이 IE를 "
          u"종료 후 다시 시도하세요.",
          u"설치 오류", MessageIcon::kError};
    case SetupOutcome::kInstallFailed:
      return {u"설치에 실패했습니다.", u"설치 오류", MessageIcon::kError};
    case SetupOutcome::kUninstalled:
      return {u"제거에 성공했습니다.", u"제거 성공", MessageIcon::kNone};
    case SetupOutcome::kUninstallFailed:
      return {u"제거에 실패했습니다.", u"제거 오류", MessageIcon::kNone};
    case SetupOutcome::kModuleNotFound:
      return {u"qorvaeditor 모듈을 찾지 못했습니다.", u"제거 오류", MessageIcon::kNone};
    case SetupOutcome::kPolicyNotWritten:
      return {u"허용할 사이트 목록을 정책에 기록하지 못했습니다. 설치하지 않았습니다.",
              u"설치 오류", MessageIcon::kError};
  }
  return {u"", u"", MessageIcon::kNone};
}

int ExitStatusFor(SetupOutcome outcome) {
  switch (outcome) {
    case SetupOutcome::kInstalled:
    case SetupOutcome::kUninstalled:
      return 0;
    case SetupOutcome::kNotWritable:
      return 2;
    case SetupOutcome::kInstallFailed:
      return 3;
    case SetupOutcome::kUninstallFailed:
      return 4;
    case SetupOutcome::kModuleNotFound:
      return 5;
    case SetupOutcome::kPolicyNotWritten:
      return 6;
  }
  return kUsageExitStatus;
}

PageLook LookOf(SetupPage page) {
  switch (page) {
    case SetupPage::kStart:
      return {u"Start", false, true, false, true};
    case SetupPage::kSetup:
      return {u"Install/Uninstall", true, true, false, true};
    case SetupPage::kEnd:
      return {u"완료", true, false, true, false};
  }
  return {u"", false, false, false, true};
}

SetupOutcome SetupWizard::OnSetupNext(bool installChecked, bool uninstallChecked) {
  mode_ = ModeFromRadios(mode_, installChecked, uninstallChecked);
  SetupOutcome outcome;
  {
    WaitCursor wait(ui_);
    outcome = RunSetupStep(mode_, bits_, system_);
  }
  SetupMessage message = MessageFor(outcome);
  ui_.ShowMessageBox(message.text, message.caption, message.icon, MessageButtons::kOk);
  return outcome;
}

SetupArguments ParseSetupArguments(std::span<const Text> arguments) {
  if (arguments.empty()) return {};
  bool silent = false;
  bool uninstall = false;
  std::optional<Text> origins;
  for (const Text& argument : arguments) {
    if (std::optional<TextView> list = OriginsArgument(argument)) {
      // Given twice, one list would silently win over the other. What is checked is what
      // gets written: trimming takes more characters for white space than the list's
      // separators, and could leave an entry empty.
      Text trimmed = Trim(*list);
      if (origins || !IsUsableOriginList(trimmed)) return {SetupRequest::kUsageError, std::nullopt};
      origins = std::move(trimmed);
      continue;
    }
    if (argument.size() != 2 || (argument[0] != u'/' && argument[0] != u'-'))
      return {SetupRequest::kUsageError, std::nullopt};
    char16_t letter = ToLowerUnit(argument[1]);
    if (letter == u's') {
      silent = true;
    } else if (letter == u'u') {
      uninstall = true;
    } else {
      return {SetupRequest::kUsageError, std::nullopt};
    }
  }
  // Uninstalling through the wizard is a choice on its page; /U alone names no mode. The
  // list belongs to an install: an uninstall leaves the policy to whoever set it.
  if (!silent || (uninstall && origins)) return {SetupRequest::kUsageError, std::nullopt};
  if (uninstall) return {SetupRequest::kSilentUninstall, std::nullopt};
  return {SetupRequest::kSilentInstall, std::move(origins)};
}

SetupOutcome RunUnattendedInstall(ControlBits bits, const std::optional<Text>& allowedOrigins,
                                  SetupSystem& system, Registry& registry) {
  if (allowedOrigins) {
    auto key = registry.CreateKey(RegistryHive::kLocalMachine, kSitePolicyKey);
    if (!key || !key->WriteString(u"AllowedOrigins", *allowedOrigins))
      return SetupOutcome::kPolicyNotWritten;
  }
  return RunSetupStep(SetupMode::kInstall, bits, system);
}

TextView SetupUsageText() {
  return u"Arguments:\n"
         u"  (none)             the installation wizard\n"
         u"  /S                 installs the control without the wizard\n"
         u"  /S /U              uninstalls it without the wizard\n"
         u"  /S /ORIGINS=LIST   installs it and lets only the pages of LIST drive it:\n"
         u"                     origins such as https://*.example.com separated by ;\n";
}

}  // namespace qorva
