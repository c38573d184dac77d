#include "support/log_file.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/memory/memory_clock.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

class LogFileTest : public ::testing::Test {
 protected:
  LogFileTest() {
    ResetLogFile();
    clock_.SetLocal({2024, 3, 5, 9, 7, 3, 45});
  }
  ~LogFileTest() override { ResetLogFile(); }

  fs::path LogPath(const char* date) const {
    return temp_.path() / "qorvaTemp" / (std::string("QORVA-") + date + ".log");
  }
  std::string Read(const char* date) const {
    return ScopedTemporaryDirectory::ReadBytes(LogPath(date));
  }

  ScopedTemporaryDirectory temp_;
  MemoryClock clock_;
};

TEST_F(LogFileTest, LinesCarryTheLocalTimeAndGoToOneFileADay) {
  WriteLog(clock_, u"first");
  clock_.Advance(std::chrono::milliseconds(1005));
  WriteLog(clock_, u"");
  WriteLog(clock_, u"\uD55C\uAE00 text");
  EXPECT_EQ(Read("2024-03-05"),
            "09:07:03.045\tfirst\r\n"
            "\r\n"
            "09:07:04.050\t\xED\x95\x9C\xEA\xB8\x80 text\r\n");
}

TEST_F(LogFileTest, TheFirstLineAfterMidnightStartsTheNextDaysFile) {
  clock_.SetLocal({2024, 12, 31, 23, 59, 59, 999});
  WriteLog(clock_, u"old year");
  clock_.Advance(std::chrono::milliseconds(1));
  WriteLog(clock_, u"new year");
  EXPECT_EQ(Read("2024-12-31"), "23:59:59.999\told year\r\n");
  EXPECT_EQ(Read("2025-01-01"), "00:00:00.000\tnew year\r\n");
}

TEST_F(LogFileTest, AppendsToAFileThatAlreadyExists) {
  fs::create_directories(temp_.path() / "qorvaTemp");
  ScopedTemporaryDirectory::WriteBytes(LogPath("2024-03-05"), "earlier\r\n");
  WriteLog(clock_, u"later");
  EXPECT_EQ(Read("2024-03-05"), "earlier\r\n09:07:03.045\tlater\r\n");
}

TEST_F(LogFileTest, AFailedOpenIsTriedAgainAtTheNextCall) {
  // A folder in the file's place makes the open fail.
  fs::create_directories(LogPath("2024-03-05"));
  WriteLog(clock_, u"lost");
  fs::remove(LogPath("2024-03-05"));
  WriteLog(clock_, u"kept");
  EXPECT_EQ(Read("2024-03-05"), "09:07:03.045\tkept\r\n");
}

TEST_F(LogFileTest, LinesFromManyThreadsStayWhole) {
  constexpr int kThreads = 4;
  constexpr int kLines = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      Text text(40, static_cast<char16_t>(u'a' + t));
      for (int i = 0; i < kLines; ++i) WriteLog(clock_, text);
    });
  }
  for (auto& thread : threads) thread.join();
  std::string content = Read("2024-03-05");
  std::vector<int> counts(kThreads, 0);
  size_t pos = 0;
  while (pos < content.size()) {
    size_t end = content.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos);
    std::string line = content.substr(pos, end - pos);
    ASSERT_EQ(line.size(), 13u + 40u) << line;
    int t = line[13] - 'a';
    ASSERT_TRUE(t >= 0 && t < kThreads) << line;
    EXPECT_EQ(line.substr(13), std::string(40, static_cast<char>('a' + t))) << line;
    ++counts[t];
    pos = end + 2;
  }
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(counts[t], kLines) << "thread " << t;
}

}  // namespace
}  // namespace qorva
