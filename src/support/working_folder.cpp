#include "support/working_folder.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/clock.h"
#include "platform/system.h"
#include "support/file_path.h"
#include "support/string_helpers.h"

namespace qorva {

namespace fs = std::filesystem;

namespace {

constexpr auto kPurgeAge = std::chrono::hours(48);

// The platform's temporary directory ending in a separator, or "" when it has none.
Text TemporaryDirectory() {
  std::error_code error;
  fs::path temp = fs::temp_directory_path(error);
  if (error || temp.empty()) return {};
  Text text = TextFromPath(temp);
  if (!IsPathSeparator(text.back())) text.push_back(kPathSeparator);
  return text;
}

bool Exists(TextView path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(PathFromText(path), error));
}

void CreateFolder(TextView path) {
  std::error_code error;
  fs::create_directory(PathFromText(path), error);
}

}  // namespace

Text WorkingFolderPath(TextView subFolder) {
  Text path = TemporaryDirectory();
  if (!subFolder.empty()) {
    path.append(subFolder);
    path.push_back(kPathSeparator);
  }
  EnsureFolderTree(path);
  return path;
}

void EnsureFolderTree(TextView path) {
  Text folder = ExtractFolderPart(path);
  if (folder.size() > kMaxFolderPathLength) return;
  while (!folder.empty() && IsPathSeparator(folder.back())) folder.pop_back();
  if (folder.empty()) return;
  for (size_t i = 1; i < folder.size(); ++i) {
    if (!IsPathSeparator(folder[i])) continue;
    folder[i] = kPathSeparator;
    TextView prefix(folder.data(), i);
    // A run of separators (as in "a//b" or a "\\server" prefix) names nothing new.
    if (IsPathSeparator(prefix.back())) continue;
    if (!Exists(prefix)) CreateFolder(prefix);
  }
  if (!Exists(folder)) CreateFolder(folder);
}

void PurgeWorkingFolder(const Clock& clock, TextView subFolder) {
  fs::path folder = PathFromText(TemporaryDirectory() + Text(subFolder));
  std::error_code error;
  fs::directory_iterator it(folder, error);
  if (error) return;
  const auto cutoff = clock.Now() - kPurgeAge;
  std::vector<fs::path> old;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    std::error_code statusError;
    // The entry's own status: a link is neither followed nor treated as its target.
    fs::file_status status = it->symlink_status(statusError);
    if (statusError || status.type() != fs::file_type::regular) continue;
    std::error_code timeError;
    fs::file_time_type written = it->last_write_time(timeError);
    if (timeError) continue;
    auto writtenOnSystemClock = std::chrono::file_clock::to_sys(written);
    if (cutoff > writtenOnSystemClock) old.push_back(it->path());
  }
  for (const fs::path& file : old) {
    std::error_code removeError;
    fs::remove(file, removeError);
  }
}

Text NewUniqueName(System& system) {
  Guid guid = system.NewGuid();
  const auto& b = guid.data4;
  return FormatText("%08x%04x%04x%02x%02x%02x%02x%02x%02x%02x%02x", guid.data1, guid.data2,
                    guid.data3, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
}

Text UnusedFilePath(System& system, TextView folder, TextView name) {
  auto taken = [](const Text& path) {
    std::error_code error;
    return std::filesystem::exists(PathFromText(path), error) || error;
  };
  Text path = Text(folder) + Text(name);
  if (!taken(path)) return path;
  const size_t dot = name.rfind(u'.');
  const TextView stem = name.substr(0, dot);
  const TextView extension = dot == TextView::npos ? TextView() : name.substr(dot);
  for (int copy = 2; copy <= 9999; ++copy) {
    path = Text(folder) + Text(stem) + FormatText(" (%d)", copy) + Text(extension);
    if (!taken(path)) return path;
  }
  return Text(folder) + NewUniqueName(system) + Text(extension);
}

Text FileSizeText(uint64_t size) {
  constexpr uint64_t kKilo = 1024;
  constexpr uint64_t kMega = kKilo * 1024;
  constexpr uint64_t kGiga = kMega * 1024;
  auto value = static_cast<double>(size);
  if (size < kKilo) return FormatText("%dBytes", static_cast<int>(size));
  if (size < kMega) return FormatText("%3.2fKB", value / static_cast<double>(kKilo));
  if (size < kGiga) return FormatText("%3.2fMB", value / static_cast<double>(kMega));
  return FormatText("%1.2fGB", value / static_cast<double>(kGiga));
}

uint64_t FileSizeOf(TextView path) {
  std::error_code error;
  uintmax_t size = fs::file_size(PathFromText(path), error);
  if (error) return 0;
  return static_cast<uint64_t>(size);
}

Text NewWorkingFilePath(System& system, TextView extension) {
  return WorkingFolderPath(kWorkingFolderName) + NewUniqueName(system) + u"." + Text(extension);
}

}  // namespace qorva
