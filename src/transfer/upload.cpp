#include "transfer/upload.h"

#include <chrono>
#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

#include "platform/platform.h"
#include "platform/system.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/string_helpers.h"

namespace qorva {

namespace {

constexpr uint32_t kPortBeyondRange = 65536;
constexpr HttpRequestFlags kUploadFlags =
    kHttpReload | kHttpNoCacheWrite | kHttpKeepConnection | kHttpNoAutoRedirect | kHttpFormsSubmit;

Text FormField(TextView boundary, TextView name, TextView value) {
  return u"--" + Text(boundary) + u"\r\nContent-Disposition: form-data; name=\"" + Text(name) +
         u"\"\r\n\r\n" + Text(value) + u"\r\n";
}

// After the last "\" or "/", whichever comes later.
Text NameAfterLastSeparator(TextView path) {
  size_t cut = path.find_last_of(u"\\/");
  return Text(cut == TextView::npos ? path : path.substr(cut + 1));
}

// Everything the body carries before the file's bytes, in the order the upload page
// reads its fields.
Text FormHead(TextView boundary, const UploadForm& form, TextView localPath) {
  Text head;
  head += FormField(boundary, u"uploadtype", form.uploadType);
  head += FormField(boundary, u"savefileext", ExtractExtension(localPath));
  head += FormField(boundary, u"serverdomain", form.serverDomain);
  head += FormField(boundary, u"tosavepathurl", form.toSavePathUrl);
  head += FormField(boundary, u"savafoldernamerule", form.saveFolderNameRule);
  head += FormField(boundary, u"savafilenamerule", form.saveFileNameRule);
  head += FormField(boundary, u"filename1", localPath);
  head += u"--" + Text(boundary) +
          u"\r\nContent-Disposition: form-data; name=\"file1\"; filename=\"" +
          NameAfterLastSeparator(localPath) + u"\"\r\n";
  head += u"Content-Type: application/octet-stream\r\n\r\n";
  return head;
}

// Writes exactly `size` bytes of `file` to the request; a file that ends early or
// cannot be read ends the upload.
bool WriteFileBody(std::ifstream& file, uint64_t size, HttpRequest& request) {
  std::vector<char> block(kTransferBlockSize);
  uint64_t left = size;
  while (left > 0) {
    size_t want = left < block.size() ? static_cast<size_t>(left) : block.size();
    file.read(block.data(), static_cast<std::streamsize>(want));
    if (static_cast<size_t>(file.gcount()) != want) return false;
    if (!request.Write(std::string_view(block.data(), want))) return false;
    left -= want;
  }
  return true;
}

}  // namespace

uint32_t UrlPort(TextView url) {
  // An "https" anywhere but at the start (a host or a path) says nothing about the port.
  bool secure = UrlIsSecure(url);
  size_t first = url.find(u':');
  if (first == TextView::npos) return secure ? 443 : 80;
  if (first + 1 == url.size()) return 80;
  size_t second = url.find(u':', first + 1);
  uint32_t port = 0;
  if (second == TextView::npos) {
    port = secure ? 443 : 0;
  } else {
    for (size_t i = second + 1; i < url.size() && url[i] >= u'0' && url[i] <= u'9'; ++i) {
      port = port * 10 + static_cast<uint32_t>(url[i] - u'0');
      if (port >= kPortBeyondRange) {
        port = kPortBeyondRange;
        break;
      }
    }
  }
  return port == 0 ? 80 : port;
}

Text UrlHostName(TextView url) {
  size_t slashes = url.find(u"//");
  if (slashes == TextView::npos) return {};
  size_t begin = slashes + 2;
  size_t end = url.find(u'/', begin);
  if (end == TextView::npos) return {};
  TextView host = url.substr(begin, end - begin);
  size_t colon = host.find(u':');
  if (colon != TextView::npos) host = host.substr(0, colon);
  return Text(host);
}

bool UrlIsSecure(TextView url) { return EqualsIgnoreCase(url.substr(0, 5), u"https"); }

Text TransferUserAgent(uint64_t unixSeconds) {
  return FormatText("qorvaeditor%x", static_cast<unsigned>(unixSeconds & 0xFFFFFFFFu));
}

Text FormBoundary(uint32_t threadId, uint32_t tickCount) {
  return FormatText("----%08x%08x", static_cast<unsigned>(threadId),
                    static_cast<unsigned>(tickCount));
}

uint64_t CurrentUnixSeconds() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count());
}

std::optional<Text> UploadFile(HttpClient& http, const System& system, TextView postPageURL,
                               const UploadForm& form, TextView localPath) {
  std::filesystem::path path = PathFromText(localPath);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  uint64_t fileSize = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  if (localPath.find_first_of(u"\\/") == TextView::npos) return std::nullopt;

  Text boundary = FormBoundary(system.CurrentThreadId(), system.TickCount());
  std::unique_ptr<HttpSession> session = http.Open(TransferUserAgent(CurrentUnixSeconds()));
  if (!session) return std::nullopt;
  std::unique_ptr<HttpConnection> connection =
      session->Connect(UrlHostName(postPageURL), UrlPort(postPageURL));
  if (!connection) return std::nullopt;
  HttpRequestLine line{u"POST", ExtractUrlPath(postPageURL), u"HTTP/1.0", {u"*/*"}, kUploadFlags};
  if (UrlIsSecure(postPageURL)) line.flags |= kHttpSecure;
  std::unique_ptr<HttpRequest> request = connection->OpenRequest(line);
  if (!request) return std::nullopt;

  if (!request->AddHeaders(u"Accept: */*\r\n", HttpHeaderMode::kAddOrReplace)) return std::nullopt;
  if (!request->AddHeaders(u"Content-Type: multipart/form-data; boundary=" + boundary + u"\r\n",
                           HttpHeaderMode::kAdd)) {
    return std::nullopt;
  }

  std::string head = ToUtf8(FormHead(boundary, form, localPath));
  std::string tail = ToUtf8(u"\r\n--" + boundary + u"--\r\n");
  if (!request->BeginSend(head.size() + fileSize + tail.size())) return std::nullopt;
  if (!request->Write(head)) return std::nullopt;
  if (!WriteFileBody(file, fileSize, *request)) return std::nullopt;
  if (!request->Write(tail)) return std::nullopt;
  file.close();
  if (!request->EndSend()) return std::nullopt;

  std::optional<Text> status = request->StatusCode();
  if (!status) return Text();
  // Compared as text, which for three-digit codes is the numeric order.
  if (*status >= u"400") return std::nullopt;
  std::vector<char> block(kTransferBlockSize);
  std::optional<size_t> got = request->Read(block);
  if (!got || *got == 0) return Text();
  return FromAnsi(system, std::string_view(block.data(), *got));
}

Text postImageToServer(const Platform& platform, TextView postPageURL, const UploadForm& form,
                       TextView strLocalPath) {
  Text path(strLocalPath);
  FileUrlToPath(path);
  std::error_code error;
  if (!std::filesystem::exists(PathFromText(path), error)) return Text(strLocalPath);
  std::optional<Text> response =
      UploadFile(platform.http, platform.system, postPageURL, form, path);
  return response ? *response : Text(strLocalPath);
}

}  // namespace qorva
