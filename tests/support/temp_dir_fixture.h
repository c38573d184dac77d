// Points the platform's temporary directory at a fresh folder for the life of a test,
// so that the working folder and its files are the test's own.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>

namespace qorva {

class ScopedTemporaryDirectory {
 public:
  ScopedTemporaryDirectory() {
    std::random_device random;
    root_ = std::filesystem::temp_directory_path() /
            ("qorva-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(root_);
    if (const char* old = std::getenv(kVariable)) saved_ = old;
    SetVariable(root_.string().c_str());
  }
  ~ScopedTemporaryDirectory() {
    if (saved_) {
      SetVariable(saved_->c_str());
    } else {
      UnsetVariable();
    }
    std::error_code error;
    std::filesystem::remove_all(root_, error);
  }
  ScopedTemporaryDirectory(const ScopedTemporaryDirectory&) = delete;
  ScopedTemporaryDirectory& operator=(const ScopedTemporaryDirectory&) = delete;

  const std::filesystem::path& path() const { return root_; }

  static std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

 private:
#ifdef _WIN32
  static constexpr const char* kVariable = "TMP";
  static void SetVariable(const char* value) { _putenv_s(kVariable, value); }
  static void UnsetVariable() { _putenv_s(kVariable, ""); }
#else
  static constexpr const char* kVariable = "TMPDIR";
  static void SetVariable(const char* value) { setenv(kVariable, value, 1); }
  static void UnsetVariable() { unsetenv(kVariable); }
#endif

  std::filesystem::path root_;
  std::optional<std::string> saved_;
};

}  // namespace qorva
