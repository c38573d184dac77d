#include "platform/memory/memory_platform.h"

#include "platform/native_clock.h"
#include "platform/native_content_types.h"
#include "platform/native_http_client.h"
#include "platform/native_image_codec.h"

namespace qorva {

MemoryPlatform::MemoryPlatform(PortSource source, Text hostDocumentUrl, std::ostream* messageOutput)
    : userInterface(messageOutput),
      site(std::move(hostDocumentUrl)),
      imageCodec_(CreateNativeImageCodec()) {
  if (source == PortSource::kNative) {
    nativeHttp_ = CreateNativeHttpClient();
    nativeClock_ = CreateNativeClock();
    nativeContentTypes_ = CreateNativeContentTypes(registry);
  }
}

MemoryPlatform::~MemoryPlatform() = default;

Platform MemoryPlatform::ports() {
  return Platform{
      .registry = registry,
      .userInterface = userInterface,
      .system = system,
      .site = desktopSite_ ? *desktopSite_ : static_cast<ControlSite&>(site),
      .http = nativeHttp_ ? *nativeHttp_ : static_cast<HttpClient&>(http),
      .imageCodec = *imageCodec_,
      .clipboard = desktopClipboard_ ? *desktopClipboard_ : static_cast<Clipboard&>(clipboard),
      .clock = nativeClock_ ? *nativeClock_ : static_cast<Clock&>(clock),
      .contentTypes = nativeContentTypes_ ? *nativeContentTypes_
                                          : static_cast<ContentTypes&>(registryContentTypes_),
      .screen = desktopScreen_ ? *desktopScreen_ : static_cast<ScreenCapture&>(screen),
      .caller = caller,
  };
}

}  // namespace qorva
