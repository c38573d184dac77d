#include "support/file_provenance.h"

#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>

#include "support/file_path.h"

namespace qorva {

namespace {

// Windows paths ignore letter case; those of other systems do not.
constexpr bool kCaseInsensitivePaths = kPathSeparator == u'\\';

// The path with "..", "." and links resolved as far as they exist, in one spelling.
Text Resolved(TextView path) {
  std::error_code error;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(PathFromText(path), error);
  if (error) resolved = PathFromText(path).lexically_normal();
  Text text = TextFromPath(resolved.make_preferred());
  return kCaseInsensitivePaths ? ToLower(text) : text;
}

// The resolved folder, ending in one separator.
Text ResolvedFolder(TextView folder) {
  Text text = Resolved(folder);
  while (!text.empty() && IsPathSeparator(text.back())) text.pop_back();
  return text + kPathSeparator;
}

// Both resolved; the folder ends in its separator.
bool Within(const Text& resolvedPath, const Text& resolvedFolder) {
  return resolvedPath.size() > resolvedFolder.size() && resolvedPath.starts_with(resolvedFolder);
}

std::mutex chosenMutex;
std::set<Text>& ChosenFiles() {
  static std::set<Text> files;
  return files;
}

}  // namespace

bool IsSamePath(TextView a, TextView b) {
  return !a.empty() && !b.empty() && Resolved(a) == Resolved(b);
}

bool IsInsideFolder(TextView path, TextView folder) {
  if (path.empty() || folder.empty()) return false;
  return Within(Resolved(path), ResolvedFolder(folder));
}

bool IsOfficeClipboardFile(TextView path, TextView temporaryFolder) {
  if (path.empty() || temporaryFolder.empty()) return false;
  const Text resolvedFolder = ResolvedFolder(temporaryFolder);
  const Text resolvedPath = Resolved(path);
  if (!Within(resolvedPath, resolvedFolder)) return false;
  TextView rest = TextView(resolvedPath).substr(resolvedFolder.size());
  size_t separator = rest.find(kPathSeparator);
  if (separator == TextView::npos) return false;  // a file right in the temporary folder
  Text first = ToLower(rest.substr(0, separator));
  return first.starts_with(u"msohtmlclip") || first.starts_with(u"msoclip");
}

void RememberUserChosenFile(TextView path) {
  std::lock_guard lock(chosenMutex);
  ChosenFiles().insert(Resolved(path));
}

bool WasChosenByUser(TextView path) {
  std::lock_guard lock(chosenMutex);
  return ChosenFiles().contains(Resolved(path));
}

void ForgetUserChosenFiles() {
  std::lock_guard lock(chosenMutex);
  ChosenFiles().clear();
}

}  // namespace qorva
