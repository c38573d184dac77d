// The image property dialog's pictures fetched from PHP's built-in server over
// samples/server, as the README's example serves them.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/local_server.h"
#include "images/skin_images.h"
#include "platform/memory/memory_platform.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

TEST(SkinFetch, TheServedSetArrivesWholeAndADeadServerShowsTheMessage) {
  ScopedTemporaryDirectory temp;
  std::string error;
  auto server = LocalServer::StartPhp(QORVA_SOURCE_DIR "/samples/server", {}, error);
  ASSERT_TRUE(server) << error;
  MemoryPlatform platform(PortSource::kNative);
  Platform ports = platform.ports();  // the native HTTP client
  SkinFetchContext context{ports.http,
                           ports.system,
                           platform.userInterface,
                           u"T",
                           FromUtf8(server->Url("/res/skin.dat")),
                           u"ko"};
  bool fetched = false;
  ASSERT_TRUE(FetchSkinImages(context, fetched));
  fs::path folder = PathFromText(SkinFolderPath(u"ko"));
  fs::path served = fs::path(QORVA_SOURCE_DIR) / "samples" / "server" / "res" / "ko";
  for (TextView name : ImagePropertySkinNames()) {
    std::string file = ToUtf8(name);
    EXPECT_EQ(ScopedTemporaryDirectory::ReadBytes(folder / file),
              ScopedTemporaryDirectory::ReadBytes(served / file))
        << file;
  }
  EXPECT_TRUE(platform.userInterface.shown().empty());

  bool again = false;
  context.resourceUrl = u"http://127.0.0.1:" + FromUtf8(std::to_string(UnusedPort())) + u"/x/s";
  EXPECT_FALSE(FetchSkinImages(context, again));
  ASSERT_EQ(platform.userInterface.shown().size(), 1u);
  EXPECT_EQ(platform.userInterface.shown()[0].icon, MessageIcon::kError);
}

}  // namespace
}  // namespace qorva
