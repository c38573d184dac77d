// Every port a control needs, assembled once for the command and the tests: the
// in-memory registry, user interface, control site, clipboard, HTTP peer, clock and
// screen, the system service with its facts open to tests, the platform's own imaging library (the
// pictures are real files), and content types from the registry. The command takes the
// platform's own HTTP client, clock and content types, and may take the desktop's
// clipboard and screen. Adding a port means one member here.
#pragma once

#include <memory>

#include "mime/registry_content_types.h"
#include "platform/memory/memory_clipboard.h"
#include "platform/memory/memory_clock.h"
#include "platform/memory/memory_control_site.h"
#include "platform/memory/memory_http_client.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_screen_capture.h"
#include "platform/memory/memory_system.h"
#include "platform/memory/scripted_user_interface.h"
#include "platform/platform.h"

namespace qorva {

class ImageCodec;

enum class PortSource {
  kMemory,  // the in-memory HTTP peer and clock, content types from the in-memory registry
  kNative,  // the platform's own HTTP client, clock and content types
};

class MemoryPlatform {
 public:
  explicit MemoryPlatform(PortSource source = PortSource::kMemory, Text hostDocumentUrl = {},
                          std::ostream* messageOutput = nullptr);
  ~MemoryPlatform();
  MemoryPlatform(const MemoryPlatform&) = delete;
  MemoryPlatform& operator=(const MemoryPlatform&) = delete;

  // The bundle a control is made with; it refers to the members here.
  Platform ports();
  // The desktop's clipboard in place of the in-memory one.
  void UseClipboard(std::unique_ptr<Clipboard> desktop) { desktopClipboard_ = std::move(desktop); }
  // The desktop's screen in place of the in-memory one.
  void UseScreen(std::unique_ptr<ScreenCapture> desktop) { desktopScreen_ = std::move(desktop); }
  // A window of the desktop in place of the in-memory site; it must outlive the controls.
  void UseSite(ControlSite& desktop) { desktopSite_ = &desktop; }
  const ImageCodec& codec() const { return *imageCodec_; }

  MemoryRegistry registry;
  ScriptedUserInterface userInterface;
  MemorySystem system;
  MemoryControlSite site;
  MemoryHttpClient http;
  MemoryClipboard clipboard{system};
  MemoryClock clock;
  MemoryScreenCapture screen;
  // The command's caller is the local user; a scene that plays a page sets kPage.
  ScriptCaller caller = ScriptCaller::kLocalUser;

 private:
  std::unique_ptr<ImageCodec> imageCodec_;
  RegistryContentTypes registryContentTypes_{registry};
  std::unique_ptr<HttpClient> nativeHttp_;
  std::unique_ptr<Clock> nativeClock_;
  std::unique_ptr<ContentTypes> nativeContentTypes_;
  std::unique_ptr<Clipboard> desktopClipboard_;
  std::unique_ptr<ScreenCapture> desktopScreen_;
  ControlSite* desktopSite_ = nullptr;
};

}  // namespace qorva
