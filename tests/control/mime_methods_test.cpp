// The MIME methods as page script calls them, through the dispatch table, on a control
// with the platform's own system service and an in-memory HTTP peer.
#include "control/mime_methods.h"

#include <gtest/gtest.h>

#include "control/control_settings.h"
#include "control/dispatch_table.h"
#include "control/property_exchange.h"
#include "control/qorvaeditor_ctrl.h"
#include "mime/mime_codec_registry.h"
#include "mime/mime_message.h"
#include "platform/memory/memory_platform.h"
#include "support/encoding.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

struct MimeScene {
  MimeScene() {
    ResetSettings();
    ResetMimeCodecRegistries();
    platform.registry.Set(RegistryHive::kClassesRoot, u".png", u"Content Type", Text(u"image/png"));
    platform.registry.Set(RegistryHive::kClassesRoot, u".gif", u"Content Type", Text(u"image/gif"));
  }
  ~MimeScene() { ResetSettings(); }

  void Load(ParameterListExchange::Parameters parameters) {
    ParameterListExchange exchange(ExchangeDirection::kLoad, std::move(parameters));
    control.ExchangeParameters(exchange);
  }
  Variant Call(std::u16string_view name, std::vector<Variant> args = {}) {
    const DispatchEntry* entry = FindDispatchEntry(name);
    return Invoke(control, entry->id, kInvokeMethod, args).value;
  }
  std::string Encode(const std::string& html) {
    return ToUtf8(
        Call(u"QorvaEncodeMime", {Variant::String(FromUtf8(html)), Variant::Int(0)}).text);
  }

  ScopedTemporaryDirectory temp;
  MemoryPlatform platform{PortSource::kMemory, u"http://editor.test:8080/pages/edit.html"};
  MemoryHttpClient& http = platform.http;
  CQorvaeditorCtrl control{platform.ports()};
};

TEST(MimeMethods, ListsEncodeAndDecodeThroughTheDispatchTable) {
  MimeScene scene;
  scene.Load({});
  std::string path = (scene.temp.path() / "a.png").string();
  ScopedTemporaryDirectory::WriteBytes(path, "PNGDATA");
  scene.Call(u"mimeAddEncodingFile", {Variant::String(FromUtf8(path)), Variant::Int(0)});
  scene.Call(u"mimeAddEncodingFile", {Variant::String(u"/elsewhere.txt"), Variant::Int(1)});
  EXPECT_EQ(scene.control.mimeImageList.size(), 1u);
  EXPECT_EQ(scene.control.mimeFileList.size(), 1u);

  std::string message = scene.Encode("<img src=\"file:///" + path + "\">");
  CMimeMessage parsed;
  ASSERT_GT(parsed.Parse(message), 0);
  ASSERT_EQ(parsed.Parts().size(), 2u);
  EXPECT_EQ(parsed.Parts()[1]->Content(), "PNGDATA");
  EXPECT_TRUE(scene.control.mimeFileList.empty()) << "the file the HTML does not name went";

  Text html = scene.Call(u"QorvaDecodeMime", {Variant::String(FromUtf8(message))}).text;
  std::string copy = (scene.temp.path() / "qorvaTemp" / "a.png").string();
  EXPECT_EQ(ToUtf8(html), "<img src=\"file:///" + copy + "\">");
  EXPECT_EQ(ScopedTemporaryDirectory::ReadBytes(copy), "PNGDATA");

  scene.Call(u"mimeSetListInit");
  EXPECT_TRUE(scene.control.mimeImageList.empty());
  std::string mine =
      ToUtf8(scene.Call(u"QorvaEncodeMine", {Variant::String(u"<p>x</p>"), Variant::Int(1)}).text);
  EXPECT_NE(mine.find("QORVWebEditor MIME Control V2.5"), std::string::npos);
}

TEST(MimeMethods, RemoteImagesComeThroughTheHttpPort) {
  MimeScene scene;
  scene.Load({{u"mimeLocalOnly", u"2"}});
  scene.http.QueueResponse(
      {Text(u"200"), u"HTTP/1.1 200 OK\r\nContent-Type: image/gif", "GIF89a", {}, 0});
  scene.Call(u"mimeAddEncodingFile", {Variant::String(u"/img/pic.php"), Variant::Int(0)});
  std::string message = scene.Encode("<img src=\"/img/pic.php\">");
  ASSERT_EQ(scene.http.exchanges().size(), 1u);
  EXPECT_EQ(scene.http.exchanges()[0].host, u"editor.test");
  EXPECT_EQ(scene.http.exchanges()[0].port, 8080u);
  EXPECT_EQ(scene.http.exchanges()[0].line.path, u"/img/pic.php");
  ASSERT_EQ(scene.control.mimeImageList.size(), 1u);
  // No image extension: the download named the file from the answer's type.
  EXPECT_TRUE(scene.control.mimeImageList[0].ends_with(u".gif"))
      << ToUtf8(scene.control.mimeImageList[0]);
  CMimeMessage parsed;
  ASSERT_GT(parsed.Parse(message), 0);
  ASSERT_EQ(parsed.Parts().size(), 2u);
  EXPECT_EQ(parsed.Parts()[1]->Content(), "GIF89a");
  EXPECT_EQ(parsed.Parts()[1]->ContentType()->rfind("image/gif", 0), 0u);
}

TEST(MimeMethods, ContainerModeRefusesTheEncodersButNotTheDecoder) {
  MimeScene scene;
  scene.Load({});
  std::string message = scene.Encode("<p>kept</p>");
  EXPECT_EQ(scene.platform.userInterface.waitCursorsShown(), 1);

  ResetSettings();
  scene.Load({{u"hasContainer", u"1"}});
  scene.Call(u"mimeAddEncodingFile", {Variant::String(u"x"), Variant::Int(0)});
  EXPECT_TRUE(scene.control.mimeImageList.empty());
  EXPECT_EQ(scene.Encode("x"), "");
  EXPECT_EQ(scene.platform.userInterface.shown().size(), 2u);
  EXPECT_EQ(scene.platform.userInterface.waitCursorsShown(), 1)
      << "a refused call shows no wait cursor";

  Text html = scene.Call(u"QorvaDecodeMime", {Variant::String(FromUtf8(message))}).text;
  EXPECT_EQ(html, u"<p>kept</p>");
  EXPECT_EQ(scene.platform.userInterface.shown().size(), 2u);
  EXPECT_EQ(scene.platform.userInterface.waitCursorsShown(), 2);
  EXPECT_FALSE(scene.platform.userInterface.waitCursorShowing());
}

}  // namespace
}  // namespace qorva
