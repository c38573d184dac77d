// The HTTP client of the platform the program runs on (libcurl on Linux, WinINet on
// Windows).
#pragma once

#include <chrono>
#include <memory>

#include "platform/http_client.h"

namespace qorva {

// Limits that keep every call finite. `connect` bounds the connection, including name
// resolution and the TLS handshake; `idle` bounds any wait in which not a single byte
// is sent or received.
struct HttpTimeouts {
  std::chrono::milliseconds connect{30'000};
  std::chrono::milliseconds idle{60'000};
};

std::unique_ptr<HttpClient> CreateNativeHttpClient(HttpTimeouts timeouts = {});

}  // namespace qorva
