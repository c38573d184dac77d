#include "control/output_methods.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "control_scene.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/image_files.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

constexpr TextView kPageSetup = u"Software\\Microsoft\\Internet Explorer\\PageSetup";
constexpr TextView kContainerRefusal = u"Container 모드에서는 사용할 수 없는 메소드입니다.";

// A control in a page, with the user's page setup in the registry.
struct PrintScene : ControlScene {
  explicit PrintScene(const char16_t* hasContainer = u"0")
      : ControlScene(u"http://editor.example/page.html") {
    Store(u"User header", u"User footer");
    Load({{u"hasContainer", hasContainer}, {u"systemTitle", u"Editor"}});
  }
  void Store(TextView header, TextView footer) {
    registry.Set(RegistryHive::kCurrentUser, kPageSetup, u"header", Text(header));
    registry.Set(RegistryHive::kCurrentUser, kPageSetup, u"footer", Text(footer));
  }
  Text Stored(TextView name) const {
    auto value = registry.ValueOf(RegistryHive::kCurrentUser, kPageSetup, name);
    return value ? std::get<Text>(*value) : u"(none)";
  }
  void Print(const char16_t* method, TextView header, TextView footer, TextView url = u"") {
    InvokeResult result = Call(method, {Variant::String(Text(header)),
                                        Variant::String(Text(footer)), Variant::String(Text(url))});
    ASSERT_EQ(result.status, DispatchStatus::kOk);
  }
};

TEST(Printing, EmptyTextsTakeTheUsersOwnAndZeroMeansNone) {
  struct Case {
    const char16_t* method;
    const char16_t* header;
    const char16_t* footer;
    const char16_t* url;
    const char16_t* storedHeader;
    const char16_t* storedFooter;
    HostDocumentCommand command;
  };
  const Case cases[] = {
      {u"doPrintPreview", u"", u"", u"", u"User header", u"User footer",
       HostDocumentCommand::kPrintPreview},
      {u"doPrintDirect", u"0", u"0", u"", u"", u"", HostDocumentCommand::kPrint},
      {u"doPrintPreview", u"Report", u"", u"javascript:anything", u"Report", u"User footer",
       HostDocumentCommand::kPrintPreview},
      {u"doPrintDirect", u"", u"Page &p", u"", u"User header", u"Page &p",
       HostDocumentCommand::kPrint},
  };
  for (const Case& c : cases) {
    PrintScene scene;
    scene.control.OnWindowCreated();
    scene.Print(c.method, c.header, c.footer, c.url);
    const std::string name =
        ToUtf8(c.method) + "(" + ToUtf8(c.header) + ", " + ToUtf8(c.footer) + ")";
    EXPECT_EQ(scene.Stored(u"header"), c.storedHeader) << name;
    EXPECT_EQ(scene.Stored(u"footer"), c.storedFooter) << name;
    EXPECT_EQ(scene.site.commandsRun(), std::vector<HostDocumentCommand>{c.command}) << name;
    EXPECT_EQ(scene.registry.OpenHandleCount(), 0) << name;
  }
}

TEST(Printing, ASavedZeroAlsoPrintsWithoutText) {
  PrintScene scene;
  scene.Store(u"0", u"0");
  scene.control.OnWindowCreated();
  scene.Print(u"doPrintPreview", u"", u"");
  EXPECT_EQ(scene.Stored(u"header"), u"");
  EXPECT_EQ(scene.Stored(u"footer"), u"");
}

TEST(Printing, ContainerModeRefusesAndTouchesNothing) {
  PrintScene scene(u"1");
  scene.control.OnWindowCreated();
  for (const char16_t* method : {u"doPrintPreview", u"doPrintDirect"}) {
    scene.Print(method, u"Report", u"0");
  }
  EXPECT_EQ(scene.Stored(u"header"), u"User header");
  EXPECT_EQ(scene.Stored(u"footer"), u"User footer");
  EXPECT_TRUE(scene.site.commandsRun().empty());
  ASSERT_EQ(scene.ui.shown().size(), 2u);
  EXPECT_EQ(scene.ui.shown()[0].text, kContainerRefusal);
  EXPECT_EQ(scene.ui.shown()[0].caption, u"Editor");
  // Nothing was saved at creation, so nothing is written back at the end either.
  scene.Store(u"changed", u"changed");
  scene.control.OnWindowDestroyed();
  EXPECT_EQ(scene.Stored(u"header"), u"changed");
}

TEST(Printing, WithoutAPageSetupKeyThePrintStillRuns) {
  PrintScene scene;
  scene.registry.DeleteKeyTree(RegistryHive::kCurrentUser, kPageSetup);
  scene.control.OnWindowCreated();
  scene.Print(u"doPrintDirect", u"Report", u"Footer");
  EXPECT_FALSE(scene.registry.KeyExists(RegistryHive::kCurrentUser, kPageSetup));
  EXPECT_EQ(scene.site.commandsRun(),
            std::vector<HostDocumentCommand>{HostDocumentCommand::kPrint});
}

TEST(Printing, WithoutAHostDocumentThePrintStepIsSkipped) {
  ControlScene scene;  // no host document, as for the command
  scene.Load();
  scene.control.OnWindowCreated();
  EXPECT_EQ(scene
                .Call(u"doPrintPreview",
                      {Variant::String(u"a"), Variant::String(u"b"), Variant::String(u"")})
                .status,
            DispatchStatus::kOk);
  EXPECT_TRUE(scene.site.commandsRun().empty());
  EXPECT_TRUE(scene.ui.shown().empty());
}

TEST(Printing, TheUsersPageSetupIsPutBackWhenTheWindowGoes) {
  PrintScene scene;
  scene.control.OnWindowCreated();
  scene.Print(u"doPrintPreview", u"Report", u"0");
  EXPECT_EQ(scene.Stored(u"header"), u"Report");  // kept until the control goes
  scene.control.OnWindowDestroyed();
  EXPECT_EQ(scene.Stored(u"header"), u"User header");
  EXPECT_EQ(scene.Stored(u"footer"), u"User footer");
}

TEST(Printing, AHeaderTooLongToReadBackIsNotTakenAsTheUsersOwn) {
  PrintScene scene;
  scene.control.OnWindowCreated();
  scene.Print(u"doPrintDirect", Text(600, u'h'), u"");
  EXPECT_EQ(scene.Stored(u"header"), Text(600, u'h'));
  // A second control, created while the long header is stored, keeps its empty members.
  PrintScene second;
  second.Store(Text(600, u'h'), u"footer");
  second.control.OnWindowCreated();
  EXPECT_EQ(second.control.savedPageHeader, u"");
  EXPECT_EQ(second.control.savedPageFooter, u"");
}

class SavingHtml : public ::testing::Test {
 protected:
  InvokeResult Save(TextView html, TextView name, TextView charset) {
    return scene_.Call(u"doSaveHTML", {Variant::String(Text(html)), Variant::String(Text(name)),
                                       Variant::String(Text(charset)), Variant::String(u"")});
  }
  Text InTemp(const char* name) const { return TextFromPath(temp_.path() / name); }

  ScopedTemporaryDirectory temp_;
  ControlScene scene_;
};

TEST_F(SavingHtml, ANameWithoutExtensionBecomesHtm) {
  scene_.Load();
  scene_.ui.QueueAnswer(InTemp("page"));
  InvokeResult result = Save(u"<p>a</p>\n<p>b</p>", u"page", u"UTF-8");
  EXPECT_EQ(result.value.text, InTemp("page.htm"));
  EXPECT_EQ(ScopedTemporaryDirectory::ReadBytes(temp_.path() / "page.htm"),
            "\xEF\xBB\xBF<p>a</p>\r\n<p>b</p>");
  ASSERT_EQ(scene_.ui.saveDialogsShown().size(), 1u);
  EXPECT_EQ(scene_.ui.saveDialogsShown()[0].filter, u"Html Files (*.html;*.htm)|*.html;*.htm||");
  EXPECT_EQ(scene_.ui.saveDialogsShown()[0].initialName, u"page");
}

TEST_F(SavingHtml, CancellingWritesNothing) {
  scene_.Load();
  scene_.ui.QueueAnswer(u"cancel");
  EXPECT_EQ(Save(u"<p>a</p>", u"page", u"utf-8").value.text, u"");
  EXPECT_TRUE(fs::is_empty(temp_.path()));
}

TEST_F(SavingHtml, AFileThatCannotBeCreatedIsNoSuccess) {
  scene_.Load();
  scene_.ui.QueueAnswer(InTemp("no-such-folder/page.htm"));
  InvokeResult result = Save(u"<p>a</p>", u"page", u"utf-8");
  EXPECT_EQ(result.value.tag, kVtBstr);
  EXPECT_EQ(result.value.text, u"");
}

TEST_F(SavingHtml, ContainerModeRefusesWithoutADialog) {
  scene_.Load({{u"hasContainer", u"1"}});
  EXPECT_EQ(Save(u"<p>a</p>", u"page", u"utf-8").value.text, u"");
  EXPECT_TRUE(scene_.ui.saveDialogsShown().empty());
  ASSERT_EQ(scene_.ui.shown().size(), 1u);
  EXPECT_EQ(scene_.ui.shown()[0].text, kContainerRefusal);
}

TEST(ImageWidthHeight, FromAFileUrlWithEscapesOrAPath) {
  ScopedTemporaryDirectory temp;
  ControlScene scene;
  scene.Load();
  std::optional<Bitmap> image = Bitmap::Create(640, 480, PixelFormat::kRgb24);
  ASSERT_TRUE(image);
  std::optional<Guid> png = FindEncoder(scene.codec(), u"image/png");
  ASSERT_TRUE(png);
  ImageEncodeResult encoded = scene.codec().Encode(*image, *png, {});
  ASSERT_EQ(encoded.status, ImageStatus::kOk);
  ScopedTemporaryDirectory::WriteBytes(temp.path() / "my picture.png", encoded.bytes);
  ScopedTemporaryDirectory::WriteBytes(temp.path() / "notes.txt", "just text");

  Text url = u"file:///" + TextFromPath(temp.path()) + u"/my%20picture.png";
  EXPECT_EQ(scene.Call(u"getImageWidthHeight", {Variant::String(url)}).value.text, u"640^480");
  Text path = TextFromPath(temp.path() / "my picture.png");
  EXPECT_EQ(scene.Call(u"getImageWidthHeight", {Variant::String(path)}).value.text, u"640^480");
  for (const char* name : {"notes.txt", "missing.png"}) {
    Text other = TextFromPath(temp.path() / name);
    EXPECT_EQ(scene.Call(u"getImageWidthHeight", {Variant::String(other)}).value.text, u"") << name;
  }
}

}  // namespace
}  // namespace qorva
