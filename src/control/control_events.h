// The outgoing event interface: hosts subscribe, the control fires.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string_view>

namespace qorva {

inline constexpr std::string_view kEventLoadedName = "QORVA_Event_Loaded";
inline constexpr int32_t kEventLoadedId = 1;

class ControlEvents {
 public:
  using Handler = std::function<void()>;

  // Returns a cookie for Unadvise; never 0.
  uint32_t Advise(Handler handler) {
    handlers_.emplace(++lastCookie_, std::move(handler));
    return lastCookie_;
  }
  bool Unadvise(uint32_t cookie) { return handlers_.erase(cookie) > 0; }
  void FireQorvaEventLoaded() {
    // A copy, so that a handler may unadvise itself.
    auto handlers = handlers_;
    for (auto& [cookie, handler] : handlers) handler();
  }

 private:
  std::map<uint32_t, Handler> handlers_;
  uint32_t lastCookie_ = 0;
};

}  // namespace qorva
