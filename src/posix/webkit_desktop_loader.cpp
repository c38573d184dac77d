// Loads the browser module the first time a command asks for a window. WebKitGTK and GTK
// bring some 150 libraries whose loading and start-up cost every command otherwise; only
// container mode needs them.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/native_desktop_window.h"
#include "posix/webkit/webkit_module.h"

namespace qorva {

namespace {

std::string ExecutableFolder() {
  std::string path(4096, '\0');
  ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return {};
  path.resize(static_cast<size_t>(length));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

using CreateWindowEntry = DesktopWindow* (*)(const char16_t*, std::size_t);

// The module beside the executable, which the build puts there and which is copied with
// it; loaded once and kept, as GTK cannot be unloaded.
CreateWindowEntry LoadEntry() {
  static CreateWindowEntry entry = []() -> CreateWindowEntry {
    std::string folder = ExecutableFolder();
    std::string path = folder + "/" + kWebKitModuleName;
    // Copied at once: the next call into the loader (dlclose here) may free dlerror's text.
    auto lastError = [] {
      const char* text = dlerror();
      return std::string(text ? text : "no reason given");
    };
    std::string why = "the program's folder is unknown";
    if (!folder.empty()) {
      if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        if (void* symbol = dlsym(module, kWebKitModuleEntry)) {
          return reinterpret_cast<CreateWindowEntry>(symbol);
        }
        why = lastError();
        dlclose(module);
      } else {
        why = lastError();
      }
    }
    std::fprintf(stderr, "qorva: the browser module %s could not be loaded: %s\n", path.c_str(),
                 why.c_str());
    return nullptr;
  }();
  return entry;
}

}  // namespace

std::unique_ptr<DesktopWindow> CreateNativeDesktopWindow(TextView title) {
  CreateWindowEntry entry = LoadEntry();
  if (!entry) return nullptr;
  return std::unique_ptr<DesktopWindow>(entry(title.data(), title.size()));
}

}  // namespace qorva
