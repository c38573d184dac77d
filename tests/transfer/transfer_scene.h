// What the transfer tests share: a system port with a known thread and tick count,
// the in-memory HTTP peer, and a scratch folder of their own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "control/control_scene.h"
#include "control/control_settings.h"
#include "platform/memory/memory_platform.h"
#include "support/encoding.h"

namespace qorva {

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
    // A known thread and tick count give a known form boundary.
    system_.threadId = 0x1a2b;
    system_.tickCount = 0xdeadbeef;
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

  Platform platform() { return ports_.ports(); }

  std::filesystem::path folder_;
  MemoryPlatform ports_;
  MemorySystem& system_ = ports_.system;
  MemoryHttpClient& http_ = ports_.http;
};

}  // namespace qorva
