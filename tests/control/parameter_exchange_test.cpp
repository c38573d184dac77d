#include <gtest/gtest.h>

#include "control_scene.h"
#include "support/encoding.h"
#include "support/string_table.h"

namespace qorva {
namespace {

constexpr TextView kPolicyKey = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

TEST(ParameterExchange, APageWithoutParametersGivesTheDefaults) {
  ControlScene scene;
  scene.Load();
  ControlSettings s = SettingsSnapshot();
  EXPECT_EQ(s.toSavePathUrl, u"qorvadata");
  EXPECT_EQ(s.saveFolderNameRule, u"YYYY/MM");
  EXPECT_EQ(s.saveFileNameRule, u"DATETIME");
  EXPECT_EQ(s.accessibility, u"0");
  EXPECT_EQ(s.uploadType, u"plugin");
  EXPECT_EQ(s.systemTitle, u"QORVA Editor");
  EXPECT_EQ(s.skinLanguage, u"ko");
  EXPECT_EQ(s.jpegQuality, 100);
  EXPECT_FALSE(s.useLog);

  const CQorvaeditorCtrl& c = scene.control;
  EXPECT_EQ(c.uploadType, u"plugin");
  EXPECT_EQ(c.imagePropStyle, u"1");
  EXPECT_EQ(c.mimeCharset, u"euc-kr");
  EXPECT_EQ(c.mimeConentEncodingType, 3u);
  EXPECT_EQ(c.mimeFileTypeFilter, 1u);
  EXPECT_EQ(c.mimeLocalOnly, 1u);
  EXPECT_EQ(c.officeLineFix, 1u);
  EXPECT_EQ(c.qorvaEditorInitURL, u"about:blank");
  EXPECT_EQ(c.hasContainer, 0u);
  EXPECT_EQ(c.containerPageUrl, u"");  // derived only in container mode
}

TEST(ParameterExchange, ValuesReachMembersAndRecord) {
  ControlScene scene;
  scene.Load({{u"UPLOADTYPE", u"custom"},  // names match without regard to case
              {u"serverDomain", u"example.test"},
              {u"imgDefaultWidth", u" 640 "},
              {u"mimeRemoveHeader", u"not a number"},
              {u"postPageURL", u"http://h/up.php"}});
  ControlSettings s = SettingsSnapshot();
  EXPECT_EQ(scene.control.uploadType, u"custom");
  EXPECT_EQ(s.uploadType, u"plugin");  // the record's is always "plugin"
  EXPECT_EQ(s.serverDomain, u"example.test");
  EXPECT_EQ(s.imgDefaultWidth, 640u);
  EXPECT_EQ(scene.control.mimeRemoveHeader, 0u);  // unreadable: the default
  EXPECT_EQ(s.postPageURL, u"http://h/up.php");
}

TEST(ParameterExchange, TitleZeroEmptiesTheCaptionEmptyKeepsThePrevious) {
  ControlScene scene;
  scene.Load({{u"systemTitle", u"My Editor"}});
  EXPECT_EQ(SettingsSnapshot().systemTitle, u"My Editor");
  scene.Load({{u"systemTitle", u""}});
  EXPECT_EQ(SettingsSnapshot().systemTitle, u"My Editor");
  scene.Load({{u"systemTitle", u"0"}});
  EXPECT_EQ(SettingsSnapshot().systemTitle, u"");
  scene.Load({{u"systemTitle", u"00"}});
  EXPECT_EQ(SettingsSnapshot().systemTitle, u"00");
}

TEST(ParameterExchange, UseLogFromOneUp) {
  const std::pair<const char16_t*, bool> cases[] = {
      {u"-1", false}, {u"0", false}, {u"1", true}, {u"2", true}};
  for (const auto& [value, on] : cases) {
    ControlScene scene;
    scene.Load({{u"useLog", value}});
    EXPECT_EQ(SettingsSnapshot().useLog, on) << ToUtf8(value);
  }
}

TEST(ParameterExchange, ContainerUrlLosesTrailingSlashesAndBlankAnyCase) {
  struct Case {
    const char16_t* url;
    const char16_t* member;
    const char16_t* page;
  } cases[] = {
      {u"http://h/Editor///", u"http://h/Editor", u"http://h/Editor/pages/editor_container.html"},
      {u"http://h/editor", u"http://h/editor", u"http://h/editor/pages/editor_container.html"},
      {u"ABOUT:Blank", u"ABOUT:Blank", u"about:blank"},
      {u"", u"", u"about:blank"},
  };
  for (const auto& c : cases) {
    ControlScene scene;
    scene.Load({{u"hasContainer", u"1"}, {u"qorvaEditorInitURL", c.url}});
    EXPECT_EQ(scene.control.qorvaEditorInitURL, c.member) << ToUtf8(c.url);
    EXPECT_EQ(scene.control.containerPageUrl, c.page) << ToUtf8(c.url);
  }
}

TEST(ParameterExchange, HostPagePathIsTheUrlWithoutItsPath) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"http://host:8080/app/page.html", u"http://host:8080"},
      {u"http://host:8080", u"http://host:8080"},
      {u"", u""},
      {u"http://h/app/p.html?q=1", u"http://h"},
      // The path's text goes wherever it occurs, also inside the scheme and host.
      {u"http://x/x", u"http:/"},
  };
  for (const auto& [url, origin] : cases) {
    ControlScene scene(url);
    scene.Load();
    EXPECT_EQ(SettingsSnapshot().hostPagePath, origin) << ToUtf8(url);
  }
}

TEST(DrivePolicy, RestrictsOnlyWithBothValuesFour) {
  struct Case {
    std::optional<uint32_t> noDrives;
    std::optional<uint32_t> noView;
    bool restricted;
  } cases[] = {
      {4, 4, true},  {4, std::nullopt, false}, {5, 4, false},
      {4, 5, false}, {std::nullopt, 4, false},
  };
  for (const auto& c : cases) {
    ControlScene scene;
    if (c.noDrives)
      scene.registry.Set(RegistryHive::kLocalMachine, kPolicyKey, u"NoDrives", *c.noDrives);
    if (c.noView)
      scene.registry.Set(RegistryHive::kLocalMachine, kPolicyKey, u"NoViewOnDrive", *c.noView);
    EXPECT_EQ(scene.control.IsDriveCRestricted(), c.restricted)
        << c.noDrives.value_or(99) << "/" << c.noView.value_or(99);
    EXPECT_EQ(scene.registry.OpenHandleCount(), 0);
  }
  ControlScene noKey;
  EXPECT_FALSE(noKey.control.IsDriveCRestricted());
}

TEST(DrivePolicy, InitialFolderIsCopiedOnlyUnderTheRestriction) {
  ControlScene open;
  open.Load({{u"openDialogInitDir", u"D:\\pictures"}});
  EXPECT_EQ(SettingsSnapshot().openDialogInitDir, u"");
  EXPECT_FALSE(SettingsSnapshot().drivePolicyRestricted);

  ControlScene restricted;
  restricted.registry.Set(RegistryHive::kLocalMachine, kPolicyKey, u"NoDrives", 4u);
  restricted.registry.Set(RegistryHive::kLocalMachine, kPolicyKey, u"NoViewOnDrive", 4u);
  restricted.Load({{u"openDialogInitDir", u"D:\\pictures"}});
  EXPECT_EQ(SettingsSnapshot().openDialogInitDir, u"D:\\pictures");
  EXPECT_TRUE(SettingsSnapshot().drivePolicyRestricted);
  // An empty parameter leaves both fields as they are.
  restricted.Load();
  EXPECT_EQ(SettingsSnapshot().openDialogInitDir, u"D:\\pictures");
  EXPECT_TRUE(SettingsSnapshot().drivePolicyRestricted);
}

TEST(ParameterExchange, SaveHandsTheMembersBack) {
  ControlScene scene;
  scene.Load(
      {{u"hasContainer", u"1"}, {u"qorvaEditorInitURL", u"http://h/e/"}, {u"useLog", u"-1"}});
  ParameterListExchange save(ExchangeDirection::kSave);
  scene.control.ExchangeParameters(save);
  EXPECT_EQ(save.version(), (std::pair<uint16_t, uint16_t>{1, 0}));
  EXPECT_EQ(save.parameters().size(), 30u);
  auto value = [&](TextView name) {
    for (const auto& [key, v] : save.parameters()) {
      if (key == name) return v;
    }
    return Text(u"<missing>");
  };
  EXPECT_EQ(value(u"qorvaEditorInitURL"), u"http://h/e");
  EXPECT_EQ(value(u"useLog"), u"-1");
  EXPECT_EQ(value(u"toSavePathUrl"), u"qorvadata");
}

TEST(Setters, RecordFieldsActAtOnceServerDomainAtTheNextExchange) {
  ControlScene scene;
  scene.Load({{u"serverDomain", u"old.test"}});
  scene.Call(u"SetToSavePathURL", {Variant::String(u"uploads")});
  scene.Call(u"SetFolderNameRule", {Variant::String(u"YYYY")});
  scene.Call(u"SetServerDomain", {Variant::String(u"new.test")});
  scene.Put(u"serverDomain", Variant::String(u"newer.test"));
  ControlSettings s = SettingsSnapshot();
  EXPECT_EQ(s.toSavePathUrl, u"uploads");
  EXPECT_EQ(s.saveFolderNameRule, u"YYYY");
  EXPECT_EQ(s.serverDomain, u"old.test");
  EXPECT_EQ(scene.control.serverDomain, u"newer.test");

  // The next exchange is a save, which re-derives from the members.
  ParameterListExchange save(ExchangeDirection::kSave);
  scene.control.ExchangeParameters(save);
  EXPECT_EQ(SettingsSnapshot().serverDomain, u"newer.test");
}

TEST(Setters, ImagePropModeAndTheContainerRefusal) {
  ControlScene scene;
  scene.Load();
  scene.Call(u"SetImagePropMode", {Variant::Int(0)});
  EXPECT_EQ(scene.control.imagePropStyle, u"0");
  scene.Call(u"SetImagePropMode", {Variant::String(u"7")});
  EXPECT_EQ(scene.control.imagePropStyle, u"1");

  scene.control.hasContainer = 1;
  scene.Call(u"SetImagePropMode", {Variant::Int(0)});
  scene.Call(u"SetToSavePathURL", {Variant::String(u"elsewhere")});
  EXPECT_EQ(scene.control.imagePropStyle, u"1");
  EXPECT_EQ(SettingsSnapshot().toSavePathUrl, u"qorvadata");
  ASSERT_EQ(scene.ui.shown().size(), 2u);
  EXPECT_EQ(scene.ui.shown()[0].text, StringTableText(15));
  EXPECT_EQ(scene.ui.shown()[0].caption, u"QORVA Editor");
}

TEST(Accessors, SizeMovesTheWindowAndMarksTheStateModified) {
  ControlScene scene;
  scene.Load({{u"width", u"300"}, {u"height", u"200"}});
  scene.site.MoveWindow({0, 0, 300, 200}, Repaint::kYes);
  EXPECT_EQ(scene.Put(u"width", Variant::Int(640)), DispatchStatus::kOk);
  EXPECT_EQ(scene.site.window(), (Rect{0, 0, 640, 200}));
  EXPECT_EQ(scene.Put(u"height", Variant::String(u"480")), DispatchStatus::kOk);
  EXPECT_EQ(scene.site.window(), (Rect{0, 0, 640, 480}));
  EXPECT_EQ(scene.Get(u"width").ui4, 640u);
  EXPECT_EQ(scene.Get(u"height").ui4, 480u);
  EXPECT_EQ(scene.site.modifiedCount(), 2);
  EXPECT_EQ(scene.Put(u"width", Variant::Int(-1)), DispatchStatus::kOverflow);
}

TEST(Accessors, InitUrlSwitchesIntoContainerModeWithoutABrowser) {
  ControlScene scene;
  scene.Load();
  EXPECT_EQ(scene.Put(u"qorvaEditorInitURL", Variant::String(u"http://h/ed//")),
            DispatchStatus::kOk);
  EXPECT_EQ(scene.control.hasContainer, 1u);
  EXPECT_EQ(scene.control.containerPageUrl, u"http://h/ed/pages/editor_container.html");
  EXPECT_EQ(scene.Get(u"qorvaEditorInitURL").text, u"http://h/ed");
  EXPECT_EQ(scene.control.browserCreated, 0);
  EXPECT_TRUE(scene.site.windowCreated());

  // The guards follow at once.
  EXPECT_EQ(scene.Call(u"getQorvaPluginVersion").value.text, u"");
  ASSERT_EQ(scene.ui.shown().size(), 1u);
  EXPECT_EQ(scene.ui.shown()[0].text, StringTableText(15));
}

}  // namespace
}  // namespace qorva
