#include "setup/setup_wizard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
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

// What each outcome tells the person at the wizard, and the unattended mode's status for
// it, which deployment scripts read.
TEST(SetupStep, EachOutcomeHasItsMessageAndStatus) {
  using enum SetupOutcome;
  const auto none = MessageIcon::kNone;
  const auto stop = MessageIcon::kError;
  const struct {
    SetupOutcome outcome;
    Text text;
    Text caption;
    MessageIcon icon;
    int status;
  } cases[] = {
      {kInstalled, u"설치에 성공했습니다.", u"설치 성공", none, 0},
      {kNotWritable,
       u"다른 IE 브라우저가 실행 중에 있습니다.\n\nQORVA Editor 플러그인을 사용 중이 IE를 종료 후 "
       u"다시 시도하세요.",
       u"설치 오류", stop, 2},
      {kInstallFailed, u"설치에 실패했습니다.", u"설치 오류", stop, 3},
      {kUninstalled, u"제거에 성공했습니다.", u"제거 성공", none, 0},
      {kUninstallFailed, u"제거에 실패했습니다.", u"제거 오류", none, 4},
      {kModuleNotFound, u"qorvaeditor 모듈을 찾지 못했습니다.", u"제거 오류", none, 5},
      {kPolicyNotWritten, u"허용할 사이트 목록을 정책에 기록하지 못했습니다. 설치하지 않았습니다.",
       u"설치 오류", stop, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("outcome " + std::to_string(static_cast<int>(c.outcome)));
    SetupMessage message = MessageFor(c.outcome);
    EXPECT_EQ(ToUtf8(message.text), ToUtf8(c.text));
    EXPECT_EQ(ToUtf8(message.caption), ToUtf8(c.caption));
    EXPECT_EQ(message.icon, c.icon);
    EXPECT_EQ(ExitStatusFor(c.outcome), c.status);
    EXPECT_NE(ExitStatusFor(c.outcome), kUsageExitStatus);
  }
}

// Each step on a prepared system: its outcome, shown in one box under the wait cursor,
// the control file and registration it leaves, and whether the tool ran.
TEST(SetupStep, EveryOutcomeAndWhatItLeaves) {
  using enum SetupOutcome;
  const auto install = SetupMode::kInstall;
  const auto uninstall = SetupMode::kUninstall;
  const std::optional<std::string> gone;
  auto nothing = [](MemorySetupSystem&) {};
  auto olderCopy = [](MemorySetupSystem& s) {
    s.AddFile(kWow64Target, "old");
    ASSERT_EQ(s.RunAndWait(RegisterCommand(kWow64Target)), 0u);
  };
  auto heldOlderCopy = [](MemorySetupSystem& s) {
    s.AddFile(kWow64Target, "old");
    s.Lock(kWow64Target);
  };
  auto noControl = [](MemorySetupSystem& s) { s.controlBytes.clear(); };
  auto noTool = [](MemorySetupSystem& s) { s.toolStarts = false; };
  auto moduleRefuses = [](MemorySetupSystem& s) { s.moduleRefuses = true; };
  auto installedThen = [](std::function<void(MemorySetupSystem&)> then) {
    return [then](MemorySetupSystem& s) {
      Installed(s);
      then(s);
    };
  };
  auto held = [](MemorySetupSystem& s) { s.Lock(kWow64Target); };
  const struct {
    const char* name;
    std::function<void(MemorySetupSystem&)> prepare;
    SetupMode mode;
    SetupOutcome outcome;
    std::optional<std::string> fileAfter;
    bool registeredAfter;
    bool toolRuns;
  } cases[] = {
      {"install", nothing, install, kInstalled, kControl, true, true},
      {"install over an older copy", olderCopy, install, kInstalled, kControl, true, true},
      {"install while a browser holds the file", heldOlderCopy, install, kNotWritable, "old", false,
       false},
      {"install from a program that carries no control", noControl, install, kNotWritable, gone,
       false, false},
      {"install when the tool does not start", noTool, install, kInstallFailed, kControl, false,
       true},
      {"install when the module's registration fails", moduleRefuses, install, kInstallFailed,
       kControl, false, true},
      {"uninstall", Installed, uninstall, kUninstalled, gone, false, true},
      {"uninstall with the file missing", nothing, uninstall, kModuleNotFound, gone, false, false},
      {"uninstall when the tool does not start", installedThen(noTool), uninstall, kUninstallFailed,
       kControl, true, true},
      {"uninstall when the module's unregistration fails", installedThen(moduleRefuses), uninstall,
       kUninstallFailed, kControl, true, true},
      {"uninstall while a browser holds the file", installedThen(held), uninstall, kUninstalled,
       kControl, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemorySetupSystem system = Windows64();
    c.prepare(system);
    size_t commandsBefore = system.commandsRun().size();
    ScriptedUserInterface ui;
    SetupWizard wizard(system, ui, ControlBits::k32);
    wizard.InitSetupPage();
    EXPECT_EQ(wizard.OnSetupNext(c.mode == install, c.mode == uninstall), c.outcome);

    ASSERT_EQ(ui.shown().size(), 1u);
    const SetupMessage message = MessageFor(c.outcome);
    EXPECT_EQ(ToUtf8(ui.shown()[0].text), ToUtf8(message.text));
    EXPECT_EQ(ToUtf8(ui.shown()[0].caption), ToUtf8(message.caption));
    EXPECT_EQ(ui.shown()[0].icon, message.icon);
    EXPECT_EQ(ui.shown()[0].buttons, MessageButtons::kOk);
    EXPECT_EQ(ui.waitCursorsShown(), 1);
    EXPECT_FALSE(ui.waitCursorShowing());

    EXPECT_EQ(system.FileBytes(kWow64Target), c.fileAfter);
    EXPECT_EQ(system.IsRegistered(kWow64Target), c.registeredAfter);
    std::vector<Text> run(system.commandsRun().begin() + static_cast<ptrdiff_t>(commandsBefore),
                          system.commandsRun().end());
    std::vector<Text> expected;
    if (c.toolRuns) {
      expected.push_back(c.mode == install ? RegisterCommand(kWow64Target)
                                           : UnregisterCommand(kWow64Target));
    }
    EXPECT_EQ(run, expected);
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
      // A host of a form feed alone reads, but trimmed away it leaves no host.
      {{u"/S", u"/ORIGINS=https://\f"}, kUsageError, {}},
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
}

}  // namespace
}  // namespace qorva
