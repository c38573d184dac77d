#include "setup/setup_wizard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <vector>

#include "browser/site_lock.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_setup_system.h"
#include "platform/memory/scripted_user_interface.h"
#include "support/encoding.h"

namespace qorva {
namespace {

const std::string kControl = "MZ\x90 the control carried by the program";
const Text kWow64Target = u"C:\\Windows\\SysWOW64\\qorvaeditor.ocx";

// A 64-bit Windows as the 32-bit installer sees it.
MemorySetupSystem Windows64() {
  MemorySetupSystem system;
  system.controlBytes = kControl;
  system.AddFolder(u"C:\\Windows");
  system.AddFolder(u"C:\\Windows\\system32");
  system.AddFolder(u"C:\\Windows\\SysWOW64");
  return system;
}

void Installed(MemorySetupSystem& system) {
  system.AddFile(kWow64Target, kControl);
  ASSERT_EQ(system.RunAndWait(RegisterCommand(kWow64Target)), 0u);
}

struct StepCase {
  const char* name;
  std::function<void(MemorySetupSystem&)> prepare;
  SetupMode mode;
  SetupOutcome outcome;
  Text text;
  Text caption;
  MessageIcon icon;
  std::optional<std::string> fileAfter;
  bool registeredAfter;
  std::vector<Text> commands;
};

TEST(SetupStep, EveryOutcomeWithItsMessageAndWhatItLeaves) {
  const Text reg = u"regsvr32.exe /s \"C:\\Windows\\SysWOW64\\qorvaeditor.ocx\"";
  const Text unreg = u"regsvr32.exe /s /u \"C:\\Windows\\SysWOW64\\qorvaeditor.ocx\"";
  const Text installed = u"설치에 성공했습니다.";
  const Text installFailed = u"설치에 실패했습니다.";
  const Text inUse =
      u"다른 IE 브라우저가 실행 중에 있습니다.\n\nQORVA Editor 플러그인을 사용 중이 IE를 종료 후 "
      u"다시 시도하세요.";
  const Text uninstalled = u"제거에 성공했습니다.";
  const Text uninstallFailed = u"제거에 실패했습니다.";
  const Text notFound = u"qorvaeditor 모듈을 찾지 못했습니다.";
  using enum SetupOutcome;
  const auto none = MessageIcon::kNone;
  const auto stop = MessageIcon::kError;
  const auto install = SetupMode::kInstall;
  const auto uninstall = SetupMode::kUninstall;
  auto nothing = [](MemorySetupSystem&) {};
  const StepCase cases[] = {
      {"install",
       nothing,
       install,
       kInstalled,
       installed,
       u"설치 성공",
       none,
       kControl,
       true,
       {reg}},
      {"install over an older copy",
       [](MemorySetupSystem& s) {
         s.AddFile(kWow64Target, "old");
         ASSERT_EQ(s.RunAndWait(RegisterCommand(kWow64Target)), 0u);
       },
       install,
       kInstalled,
       installed,
       u"설치 성공",
       none,
       kControl,
       true,
       {reg}},
      {"install while a browser holds the file",
       [](MemorySetupSystem& s) {
         s.AddFile(kWow64Target, "old");
         s.Lock(kWow64Target);
       },
       install,
       kNotWritable,
       inUse,
       u"설치 오류",
       stop,
       "old",
       false,
       {}},
      {"install from a program that carries no control",
       [](MemorySetupSystem& s) { s.controlBytes.clear(); },
       install,
       kNotWritable,
       inUse,
       u"설치 오류",
       stop,
       std::nullopt,
       false,
       {}},
      {"install when the tool does not start",
       [](MemorySetupSystem& s) { s.toolStarts = false; },
       install,
       kInstallFailed,
       installFailed,
       u"설치 오류",
       stop,
       kControl,
       false,
       {reg}},
      {"install when the module's registration fails",
       [](MemorySetupSystem& s) { s.moduleRefuses = true; },
       install,
       kInstallFailed,
       installFailed,
       u"설치 오류",
       stop,
       kControl,
       false,
       {reg}},
      {"uninstall",
       Installed,
       uninstall,
       kUninstalled,
       uninstalled,
       u"제거 성공",
       none,
       std::nullopt,
       false,
       {unreg}},
      {"uninstall with the file missing",
       nothing,
       uninstall,
       kModuleNotFound,
       notFound,
       u"제거 오류",
       none,
       std::nullopt,
       false,
       {}},
      {"uninstall when the tool does not start",
       [](MemorySetupSystem& s) {
         Installed(s);
         s.toolStarts = false;
       },
       uninstall,
       kUninstallFailed,
       uninstallFailed,
       u"제거 오류",
       none,
       kControl,
       true,
       {unreg}},
      {"uninstall when the module's unregistration fails",
       [](MemorySetupSystem& s) {
         Installed(s);
         s.moduleRefuses = true;
       },
       uninstall,
       kUninstallFailed,
       uninstallFailed,
       u"제거 오류",
       none,
       kControl,
       true,
       {unreg}},
      {"uninstall while a browser holds the file",
       [](MemorySetupSystem& s) {
         Installed(s);
         s.Lock(kWow64Target);
       },
       uninstall,
       kUninstalled,
       uninstalled,
       u"제거 성공",
       none,
       kControl,
       false,
       {unreg}},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.name);
    MemorySetupSystem system = Windows64();
    c.prepare(system);
    size_t commandsBefore = system.commandsRun().size();
    ScriptedUserInterface ui;
    SetupWizard wizard(system, ui, ControlBits::k32);
    wizard.InitSetupPage();
    EXPECT_EQ(wizard.OnSetupNext(c.mode == install, c.mode == uninstall), c.outcome);

    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ToUtf8(ui.shown()[0].text), ToUtf8(c.text));
    EXPECT_EQ(ToUtf8(ui.shown()[0].caption), ToUtf8(c.caption));
    EXPECT_EQ(ui.shown()[0].icon, c.icon);
    EXPECT_EQ(ui.shown()[0].buttons, MessageButtons::kOk);
    EXPECT_EQ(ui.waitCursorsShown(), 1);
    EXPECT_FALSE(ui.waitCursorShowing());

    EXPECT_EQ(system.FileBytes(kWow64Target), c.fileAfter);
    EXPECT_EQ(system.IsRegistered(kWow64Target), c.registeredAfter);
    std::vector<Text> run(system.commandsRun().begin() + static_cast<ptrdiff_t>(commandsBefore),
                          system.commandsRun().end());
    EXPECT_EQ(run, c.commands);
    // The unattended mode's status: 0 exactly when the wizard reports success.
    EXPECT_EQ(ExitStatusFor(c.outcome) == 0, c.outcome == kInstalled || c.outcome == kUninstalled);
  }
}

TEST(SetupStep, TargetFolderByWindowsAndControl) {
  struct Case {
    const char* name;
    Text windows;
    std::vector<Text> folders;
    std::vector<Text> files;
    ControlBits bits;
    Text target;
  } const cases[] = {
      {"32-bit control on 64-bit Windows",
       u"C:\\Windows",
       {u"C:\\Windows\\system32", u"C:\\Windows\\SysWOW64"},
       {},
       ControlBits::k32,
       u"C:\\Windows\\SysWOW64\\qorvaeditor.ocx"},
      {"32-bit control on 32-bit Windows",
       u"C:\\Windows",
       {u"C:\\Windows\\system32"},
       {},
       ControlBits::k32,
       u"C:\\Windows\\system32\\qorvaeditor.ocx"},
      {"a file named SysWOW64 is no folder",
       u"C:\\Windows",
       {u"C:\\Windows\\system32"},
       {u"C:\\Windows\\SysWOW64"},
       ControlBits::k32,
       u"C:\\Windows\\system32\\qorvaeditor.ocx"},
      {"64-bit control goes to the native folder",
       u"C:\\Windows",
       {u"C:\\Windows\\system32", u"C:\\Windows\\SysWOW64"},
       {},
       ControlBits::k64,
       u"C:\\Windows\\system32\\qorvaeditor.ocx"},
      {"Windows in another folder, given with a separator",
       u"D:\\WINNT\\",
       {u"D:\\WINNT\\system32"},
       {},
       ControlBits::k32,
       u"D:\\WINNT\\system32\\qorvaeditor.ocx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemorySetupSystem system;
    system.controlBytes = kControl;
    system.windowsFolder = c.windows;
    for (const Text& folder : c.folders) system.AddFolder(folder);
    for (const Text& file : c.files) system.AddFile(file, "x");
    ASSERT_EQ(RunSetupStep(SetupMode::kInstall, c.bits, system), SetupOutcome::kInstalled);
    EXPECT_EQ(system.FileBytes(c.target), kControl);
    EXPECT_TRUE(system.IsRegistered(c.target));
    ASSERT_EQ(RunSetupStep(SetupMode::kUninstall, c.bits, system), SetupOutcome::kUninstalled);
    EXPECT_FALSE(system.FileExists(c.target));
  }
}

TEST(SetupWizard, TheStepRunsAgainAfterBackWithTheRadioButtonsOfThatMoment) {
  MemorySetupSystem system = Windows64();
  ScriptedUserInterface ui;
  SetupWizard wizard(system, ui, ControlBits::k32);
  wizard.InitSetupPage();
  EXPECT_EQ(wizard.mode(), SetupMode::kInstall);

  // Uninstall with nothing installed, Back, then install, then install again.
  EXPECT_EQ(wizard.OnSetupNext(false, true), SetupOutcome::kModuleNotFound);
  EXPECT_EQ(wizard.mode(), SetupMode::kUninstall);
  EXPECT_EQ(wizard.OnSetupNext(true, false), SetupOutcome::kInstalled);
  system.AddFile(kWow64Target, "changed by hand");
  EXPECT_EQ(wizard.OnSetupNext(true, false), SetupOutcome::kInstalled);
  EXPECT_EQ(system.FileBytes(kWow64Target), kControl);
  EXPECT_EQ(std::count(system.commandsRun().begin(), system.commandsRun().end(),
                       RegisterCommand(kWow64Target)),
            2);
  // Neither radio button checked: the last mode holds.
  EXPECT_EQ(wizard.OnSetupNext(false, false), SetupOutcome::kInstalled);
  EXPECT_EQ(wizard.OnSetupNext(false, true), SetupOutcome::kUninstalled);
  EXPECT_EQ(wizard.OnSetupNext(false, false), SetupOutcome::kModuleNotFound);
  EXPECT_EQ(ui.shown().size(), 6u);
  EXPECT_EQ(ui.waitCursorsShown(), 6);
}

TEST(SetupUnattended, EachFailureHasItsOwnNonZeroStatus) {
  using enum SetupOutcome;
  std::set<int> statuses{kUsageExitStatus};
  for (SetupOutcome failure :
       {kNotWritable, kInstallFailed, kUninstallFailed, kModuleNotFound, kPolicyNotWritten}) {
    int status = ExitStatusFor(failure);
    EXPECT_NE(status, 0);
    EXPECT_TRUE(statuses.insert(status).second) << "status " << status << " used twice";
  }
  EXPECT_EQ(ExitStatusFor(kInstalled), 0);
  EXPECT_EQ(ExitStatusFor(kUninstalled), 0);
}

TEST(SetupUnattended, Arguments) {
  using enum SetupRequest;
  const Text list = u"https://editor.example;https://*.intranet.example:8443";
  struct Case {
    std::vector<Text> arguments;
    SetupRequest request;
    std::optional<Text> origins;
  } const cases[] = {
      {{}, kWizard, {}},
      {{u"/S"}, kSilentInstall, {}},
      {{u"/s"}, kSilentInstall, {}},
      {{u"-S"}, kSilentInstall, {}},
      {{u"/S", u"/U"}, kSilentUninstall, {}},
      {{u"/u", u"/s"}, kSilentUninstall, {}},
      {{u"/U"}, kUsageError, {}},
      {{u"/S", u"/X"}, kUsageError, {}},
      {{u"/Silent"}, kUsageError, {}},
      {{u"S"}, kUsageError, {}},
      {{u""}, kUsageError, {}},
      // The list of pages, with an install only, readable in full.
      {{u"/S", u"/ORIGINS=" + list}, kSilentInstall, list},
      {{u"-origins=" + list, u"/s"}, kSilentInstall, list},
      {{u"/S", u"/ORIGINS= https://editor.example "}, kSilentInstall, u"https://editor.example"},
      {{u"/S", u"/ORIGINS=*"}, kSilentInstall, u"*"},
      {{u"/ORIGINS=" + list}, kUsageError, {}},
      {{u"/S", u"/U", u"/ORIGINS=" + list}, kUsageError, {}},
      {{u"/S", u"/ORIGINS="}, kUsageError, {}},
      {{u"/S", u"/ORIGINS=;, "}, kUsageError, {}},
      {{u"/S", u"/ORIGINS=editor.example"}, kUsageError, {}},
      {{u"/S", u"/ORIGINS=https://editor.example;https://bad:port"}, kUsageError, {}},
      {{u"/S", u"/ORIGINS=https://a.example", u"/ORIGINS=https://b.example"}, kUsageError, {}},
      {{u"/S", u"/ORIGIN=https://a.example"}, kUsageError, {}},
      {{u"/S", u"ORIGINS=https://a.example"}, kUsageError, {}},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const Text& argument : c.arguments) shown += "[" + ToUtf8(argument) + "]";
    SetupArguments parsed = ParseSetupArguments(c.arguments);
    EXPECT_EQ(parsed.request, c.request) << shown;
    EXPECT_EQ(parsed.allowedOrigins, c.origins) << shown;
  }
}

// What the unattended install writes is what the control reads: the machine's list,
// ahead of any the user has.
TEST(SetupUnattended, TheListOfPagesBecomesTheMachinesPolicy) {
  MemorySetupSystem system = Windows64();
  MemoryRegistry registry;
  registry.Set(RegistryHive::kCurrentUser, kSitePolicyKey, u"AllowedOrigins",
               Text(u"https://user.example"));
  const Text list = u"https://editor.example;https://*.intranet.example:8443";
  EXPECT_EQ(RunUnattendedInstall(ControlBits::k32, list, system, registry),
            SetupOutcome::kInstalled);
  EXPECT_TRUE(system.IsRegistered(kWow64Target));
  EXPECT_EQ(registry.ValueOf(RegistryHive::kLocalMachine, kSitePolicyKey, u"AllowedOrigins"),
            MemoryRegistry::Value(list));
  EXPECT_EQ(registry.OpenHandleCount(), 0);

  SitePolicy policy = ReadSitePolicy(registry);
  ASSERT_TRUE(policy.allowedOrigins);
  EXPECT_TRUE(policy.allowedOrigins->Contains(OriginOfUrl(u"https://editor.example/page")));
  EXPECT_TRUE(policy.allowedOrigins->Contains(OriginOfUrl(u"https://a.intranet.example:8443/")));
  EXPECT_FALSE(policy.allowedOrigins->Contains(OriginOfUrl(u"https://user.example/")));
  EXPECT_FALSE(policy.allowedOrigins->Contains(OriginOfUrl(u"http://editor.example/")));

  // Installing again without a list leaves the policy as the administrator set it.
  registry.Set(RegistryHive::kLocalMachine, kSitePolicyKey, u"AllowedOrigins",
               Text(u"https://other.example"));
  EXPECT_EQ(RunUnattendedInstall(ControlBits::k32, std::nullopt, system, registry),
            SetupOutcome::kInstalled);
  EXPECT_EQ(registry.ValueOf(RegistryHive::kLocalMachine, kSitePolicyKey, u"AllowedOrigins"),
            MemoryRegistry::Value(Text(u"https://other.example")));
}

TEST(SetupUnattended, WithoutAListNoPolicyKeyAppears) {
  MemorySetupSystem system = Windows64();
  MemoryRegistry registry;
  EXPECT_EQ(RunUnattendedInstall(ControlBits::k64, std::nullopt, system, registry),
            SetupOutcome::kInstalled);
  EXPECT_FALSE(registry.KeyExists(RegistryHive::kLocalMachine, kSitePolicyKey));
  EXPECT_FALSE(ReadSitePolicy(registry).allowedOrigins);
}

// A registry that refuses every key, as for an installer started without administrator
// rights.
class RefusingRegistry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenKey(RegistryHive, TextView, RegistryAccess) override {
    return nullptr;
  }
  std::unique_ptr<RegistryKey> CreateKey(RegistryHive, TextView) override { return nullptr; }
  bool DeleteKeyTree(RegistryHive, TextView) override { return false; }
};

TEST(SetupUnattended, AListThatCannotBeWrittenInstallsNothing) {
  MemorySetupSystem system = Windows64();
  RefusingRegistry registry;
  SetupOutcome outcome =
      RunUnattendedInstall(ControlBits::k32, u"https://editor.example", system, registry);
  EXPECT_EQ(outcome, SetupOutcome::kPolicyNotWritten);
  EXPECT_FALSE(system.FileExists(kWow64Target));
  EXPECT_TRUE(system.commandsRun().empty());
  EXPECT_EQ(MessageFor(outcome).icon, MessageIcon::kError);
  EXPECT_EQ(ExitStatusFor(outcome), 6);
}

}  // namespace
}  // namespace qorva
