#include <gtest/gtest.h>

#include <filesystem>

#include "browser/site_lock.h"
#include "control_scene.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/file_provenance.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

constexpr TextView kInternetZone =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3";
constexpr TextView kTrustedDomain =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Domains\\"
    u"evil.example";

// A control in the page at `url`, called by that page's script, with the administrator's
// lists set as given (none: no list).
struct PageScene : ControlScene {
  PageScene(const char16_t* url, std::optional<TextView> allowed,
            std::optional<TextView> anyLocalFile = std::nullopt)
      : ControlScene(url, ScriptCaller::kPage) {
    registry.Set(RegistryHive::kCurrentUser, kInternetZone, u"1407", uint32_t{3});
    if (allowed) {
      registry.Set(RegistryHive::kLocalMachine, kSitePolicyKey, u"AllowedOrigins", Text(*allowed));
    }
    if (anyLocalFile) {
      registry.Set(RegistryHive::kLocalMachine, kSitePolicyKey, u"AnyLocalFileOrigins",
                   Text(*anyLocalFile));
    }
    Load({{u"trustSites", u"evil.example"},
          {u"postPageURL", u"http://upload.example/up.php"},
          {u"systemTitle", u"Editor"}});
  }
  uint32_t InternetClipboardAction() const {
    auto value = registry.ValueOf(RegistryHive::kCurrentUser, kInternetZone, u"1407");
    return value ? std::get<uint32_t>(*value) : 99;
  }
  Text Post(const Text& path) {
    return Call(u"postImageToServer", {Variant::String(path)}).value.text;
  }
};

TEST(SiteLock, APageNotOnTheListDrivesNothingAndChangesNothing) {
  PageScene scene(u"http://evil.example/page.html", u"https://editor.example.com");
  EXPECT_FALSE(scene.registry.KeyExists(RegistryHive::kCurrentUser, kTrustedDomain));
  EXPECT_EQ(scene.InternetClipboardAction(), 3u);
  EXPECT_EQ(SettingsSnapshot().systemTitle, ControlSettings{}.systemTitle);

  EXPECT_EQ(scene.Call(u"getQorvaPluginVersion").value.text, u"");
  EXPECT_EQ(scene.Call(u"getPasteHtml").value.text, u"");
  EXPECT_EQ(scene.Get(u"postPageURL").text, u"");
  EXPECT_EQ(scene.Put(u"postPageURL", Variant::String(u"http://other.example/")),
            DispatchStatus::kOk);
  EXPECT_EQ(scene.control.postPageURL, u"http://upload.example/up.php");
  EXPECT_TRUE(scene.ui.shown().empty());
  EXPECT_TRUE(scene.http.exchanges().empty());

  // Nothing was applied, so nothing is put back when the window goes.
  scene.control.OnWindowDestroyed();
  EXPECT_EQ(scene.InternetClipboardAction(), 3u);
}

TEST(SiteLock, ALockedControlInContainerModeEmbedsNoBrowser) {
  for (bool allowed : {false, true}) {
    ControlScene scene(u"http://evil.example/page.html", ScriptCaller::kPage);
    scene.site.browserAvailable = true;
    scene.registry.Set(RegistryHive::kLocalMachine, kSitePolicyKey, u"AllowedOrigins",
                       Text(allowed ? u"http://evil.example" : u"https://editor.example.com"));
    scene.Load({{u"hasContainer", u"1"}, {u"qorvaEditorInitURL", u"http://evil.example/ed"}});
    scene.control.OnWindowCreated();
    EXPECT_EQ(scene.site.browser() != nullptr, allowed) << allowed;
    EXPECT_EQ(scene.control.browserCreated != 0, allowed) << allowed;
  }
}

TEST(SiteLock, AllowedPagesAndPagesWithoutAListWorkAsBefore) {
  struct Case {
    const char16_t* url;
    const char16_t* allowed;  // null: no list configured
    bool drives;
  };
  const Case cases[] = {
      {u"https://editor.example.com/page.html", u"https://editor.example.com", true},
      {u"https://a.editor.example.com/page.html", u"https://*.editor.example.com", true},
      {u"http://evil.example/", nullptr, true},
      {u"https://editor.example.com:8443/", u"https://editor.example.com", false},
      {u"", u"https://editor.example.com", false},   // an origin that cannot be read
      {u"https://editor.example.com/", u"", false},  // a configured empty list
  };
  for (const Case& c : cases) {
    PageScene scene(c.url, c.allowed ? std::optional<TextView>(c.allowed) : std::nullopt);
    const std::string name = ToUtf8(c.url);
    EXPECT_EQ(!scene.Call(u"getQorvaPluginVersion").value.text.empty(), c.drives) << name;
    EXPECT_EQ(scene.registry.KeyExists(RegistryHive::kCurrentUser, kTrustedDomain), c.drives)
        << name;
    EXPECT_EQ(scene.InternetClipboardAction() == 0, c.drives) << name;
  }
}

TEST(SiteLock, TheCommandsLocalUserIsNotLocked) {
  ControlScene scene(u"http://evil.example/");
  scene.registry.Set(RegistryHive::kLocalMachine, kSitePolicyKey, u"AllowedOrigins",
                     Text(u"https://editor.example.com"));
  scene.Load();
  EXPECT_NE(scene.Call(u"getQorvaPluginVersion").value.text, u"");
}

class FileProvenanceOfPages : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(temp_.path() / "msohtmlclip1" / "01");
    for (const char* name :
         {"secret.png", "dropped.png", "chosen.png", "msohtmlclip1/01/clip.png"}) {
      ScopedTemporaryDirectory::WriteBytes(temp_.path() / name, "\x89PNG bytes");
    }
  }
  void TearDown() override { ForgetUserChosenFiles(); }
  Text At(const char* name) const { return TextFromPath(temp_.path() / name); }

  ScopedTemporaryDirectory temp_;
};

TEST_F(FileProvenanceOfPages, OnlyFilesOfKnownProvenanceAreSent) {
  PageScene scene(u"https://editor.example.com/page.html", u"https://editor.example.com");
  EXPECT_EQ(scene.Post(At("secret.png")), At("secret.png"));
  EXPECT_EQ(scene.Post(u"file:///" + At("secret.png")), u"file:///" + At("secret.png"));
  EXPECT_TRUE(scene.http.exchanges().empty());

  // The office programs' clipboard pictures, a file dropped for the last paste and one
  // the user chose are sent, as is a file the control wrote.
  scene.clipboard.SetFiles({At("dropped.png")});
  scene.Call(u"getPasteHtml");
  RememberUserChosenFile(At("chosen.png"));
  const Text written = scene
                           .Call(u"getLocalImageFromBase64Image",
                                 {Variant::String(u"iVBORw0KGgo="), Variant::String(u"png")})
                           .value.text;
  ASSERT_NE(written, u"");
  for (const Text& path :
       {At("msohtmlclip1/01/clip.png"), At("dropped.png"), At("chosen.png"), written}) {
    size_t before = scene.http.exchanges().size();
    scene.Post(path);
    EXPECT_EQ(scene.http.exchanges().size(), before + 1) << ToUtf8(path);
  }
}

TEST_F(FileProvenanceOfPages, AnOriginOnTheListForAnyFileAndTheLocalUserMaySendAny) {
  PageScene listed(u"https://intranet.example/", std::nullopt, u"https://intranet.example");
  listed.Post(At("secret.png"));
  EXPECT_EQ(listed.http.exchanges().size(), 1u);

  ControlScene command;
  command.Load({{u"postPageURL", u"http://upload.example/up.php"}});
  command.Call(u"postImageToServer", {Variant::String(At("secret.png"))});
  EXPECT_EQ(command.http.exchanges().size(), 1u);
}

TEST_F(FileProvenanceOfPages, TheEncoderLeavesOutFilesOfUnknownProvenance) {
  PageScene scene(u"https://editor.example.com/page.html", std::nullopt);
  RememberUserChosenFile(At("chosen.png"));
  scene.Call(u"mimeAddEncodingFile", {Variant::String(At("secret.png")), Variant::Int(0)});
  scene.Call(u"mimeAddEncodingFile", {Variant::String(At("chosen.png")), Variant::Int(0)});
  const Text html =
      u"<img src=\"" + At("secret.png") + u"\"><img src=\"" + At("chosen.png") + u"\">";
  const std::string message =
      ToUtf8(scene.Call(u"QorvaEncodeMime", {Variant::String(html), Variant::Int(0)}).value.text);
  // Only the chosen file stays on the list of what was embedded.
  EXPECT_EQ(scene.control.mimeImageList, std::vector<Text>{At("chosen.png")});
  size_t parts = 0;
  for (size_t at = message.find("Content-ID:"); at != std::string::npos;
       at = message.find("Content-ID:", at + 1)) {
    ++parts;
  }
  EXPECT_EQ(parts, 1u);
}

}  // namespace
}  // namespace qorva
