// What the transfer tests share: a system port with a known thread and tick count,
// the in-memory HTTP peer, and a scratch folder of their own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "control/control_scene.h"
#include "control/control_settings.h"
#include "mime/registry_content_types.h"
#include "platform/memory/memory_clock.h"
#include "platform/memory/memory_http_client.h"
#include "platform/platform.h"
#include "posix/posix_system.h"
#include "support/encoding.h"

namespace qorva {

class TransferSystem final : public System {
 public:
  std::optional<Guid> fixedGuid;

  std::optional<FileVersion> ModuleFileVersion() const override { return std::nullopt; }
  Text LoadString(uint32_t id) const override { return real_.LoadString(id); }
  Guid NewGuid() override { return fixedGuid ? *fixedGuid : real_.NewGuid(); }
  std::string EncodeAnsi(TextView text) const override { return real_.EncodeAnsi(text); }
  Text DecodeAnsi(std::string_view bytes) const override { return real_.DecodeAnsi(bytes); }
  uint32_t CurrentThreadId() const override { return 0x1a2b; }
  uint32_t TickCount() const override { return 0xdeadbeef; }

 private:
  PosixSystem real_;
};

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Bytes that differ from block to block, so that a block sent twice or out of order shows.
inline std::string PatternBytes(size_t size) {
  std::string bytes(size, '\0');
  uint32_t state = 2463534242u;
  for (char& byte : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<char>(state);
  }
  return bytes;
}

class TransferTest : public ::testing::Test {
 protected:
  TransferTest() {
    ResetSettings();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("qorva_transfer_" + std::string(info->test_suite_name()) + "_" + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~TransferTest() override {
    std::filesystem::remove_all(folder_);
    ResetSettings();
  }

  std::filesystem::path Scratch(const std::string& name) const { return folder_ / name; }
  Text ScratchText(const std::string& name) const { return FromUtf8(Scratch(name).string()); }

  Platform platform() {
    return Platform{registry_, ui_,        system_, site_,        http_,
                    *codec_,   clipboard_, clock_,  contentTypes_};
  }

  std::filesystem::path folder_;
  MemoryRegistry registry_;
  ScriptedUserInterface ui_;
  TransferSystem system_;
  MemoryControlSite site_;
  MemoryHttpClient http_;
  std::unique_ptr<ImageCodec> codec_ = CreateNativeImageCodec();
  MemoryClipboard clipboard_{system_};
  MemoryClock clock_;
  RegistryContentTypes contentTypes_{registry_};
};

}  // namespace qorva
