#include "transfer/download.h"

#include "support/image_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/http_client.h"
#include "support/file_path.h"
#include "support/string_helpers.h"
#include "support/working_folder.h"
#include "transfer/upload.h"

namespace qorva {

namespace {

constexpr HttpRequestFlags kDownloadFlags = kHttpReload | kHttpNoCacheWrite | kHttpNoAutoRedirect;
constexpr HttpRequestFlags kSecureDownloadFlags = kHttpReload | kHttpNoCacheWrite |
                                                  kHttpKeepConnection | kHttpNoAutoRedirect |
                                                  kHttpFormsSubmit | kHttpSecure;

// A name that Windows cannot create, which callers use to mean "name it yourself";
// other file systems would take it, so it is refused on every platform alike.
bool IsPlaceholderName(TextView path) {
  size_t cut = path.find_last_of(u"\\/");
  TextView name = cut == TextView::npos ? path : path.substr(cut + 1);
  if (name.empty()) return true;
  return std::ranges::any_of(name, [](char16_t unit) {
    return unit < 0x20 || TextView(u"<>:\"|?*").find(unit) != TextView::npos;
  });
}

std::optional<std::ofstream> CreateForWriting(TextView path) {
  std::ofstream out(PathFromText(path), std::ios::binary | std::ios::trunc);
  if (!out) return std::nullopt;
  return out;
}

// A new file in the working folder named for the response's content type; its path
// goes to `localPath`.
std::optional<std::ofstream> CreateNamedFromResponse(System& system, TextView rawHeaders,
                                                     Text& localPath) {
  Text path =
      NewWorkingFilePath(system, ExtensionForContentType(ContentTypeFromHeaders(rawHeaders)));
  std::filesystem::path native = PathFromText(path);
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(native, error))) {
    RemoveFileForcibly(native);
  }
  std::optional<std::ofstream> out = CreateForWriting(path);
  if (out) localPath = path;
  return out;
}

// Copies the body to `out` block by block; false when a block cannot be read or written.
bool CopyBody(HttpRequest& request, std::ofstream& out) {
  std::vector<char> block(kTransferBlockSize);
  while (true) {
    std::optional<size_t> got = request.Read(block);
    if (!got) return false;
    if (*got == 0) break;
    out.write(block.data(), static_cast<std::streamsize>(*got));
    if (!out) return false;
  }
  out.close();
  return !out.fail();
}

}  // namespace

bool DownloadToFile(HttpClient& http, System& system, TextView serverUrl, TextView requestPath,
                    Text& localPath) {
  std::unique_ptr<HttpSession> session = http.Open(TransferUserAgent(CurrentUnixSeconds()));
  if (!session) return false;
  std::unique_ptr<HttpConnection> connection =
      session->Connect(UrlHostName(serverUrl), UrlPort(serverUrl));
  if (!connection) return false;
  HttpRequestFlags flags = UrlIsSecure(serverUrl) ? kSecureDownloadFlags : kDownloadFlags;
  std::unique_ptr<HttpRequest> request =
      connection->OpenRequest({u"GET", Text(requestPath), u"", {}, flags});
  if (!request) return false;
  if (!request->AddHeaders(u"Accept: */*\r\n\r\n", HttpHeaderMode::kAdd)) return false;
  if (!request->Send({})) return false;

  // Every error status fails, before any file exists: an error page stored as the
  // picture or attachment asked for would pass a failure off as success.
  std::optional<Text> status = request->StatusCode();
  if (status && *status >= u"400") return false;
  Text rawHeaders = request->RawHeaders().value_or(Text());

  std::optional<std::ofstream> out;
  if (!IsPlaceholderName(localPath)) out = CreateForWriting(localPath);
  if (!out) out = CreateNamedFromResponse(system, rawHeaders, localPath);
  if (!out) return false;
  return CopyBody(*request, *out);
}

Text ContentTypeFromHeaders(TextView rawHeaders) {
  Text contentType;
  bool typeFound = false;
  int recognised = 0;
  bool statusLine = true;
  size_t pos = 0;
  while (pos < rawHeaders.size() && recognised < 2) {
    size_t end = rawHeaders.find(u'\n', pos);
    if (end == TextView::npos) end = rawHeaders.size();
    TextView line = rawHeaders.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    if (statusLine) {
      statusLine = false;
      continue;
    }
    Text lower = ToLower(line);
    if (lower.find(u"content-type:") != Text::npos) {
      ++recognised;
      if (typeFound) continue;
      typeFound = true;
      contentType = ToLower(Trim(line.substr(line.find(u':') + 1)));
    } else if (lower.find(u"content-disposition:") != Text::npos &&
               lower.find(u"filename=") != Text::npos) {
      ++recognised;
    }
  }
  return contentType;
}

}  // namespace qorva
