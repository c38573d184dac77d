#include "mime/mime_encode.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "mime/mime_codec_registry.h"
#include "mime/mime_file_names.h"
#include "mime/mime_message.h"
#include "mime/mime_text.h"
#include "platform/content_types.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/log_file.h"
#include "support/string_helpers.h"
#include "support/working_folder.h"

namespace qorva {

namespace {

constexpr TextView kMailDomain = u"qorvaeditor.mime";
constexpr TextView kSubject = u"QORVA Editor Mime 1.0";

// Whether the local file `entry` (a path or a "file:///" URL) may go into the message.
bool MayRead(const MimeEncodeContext& context, const Text& entry) {
  if (!context.mayReadFile) return true;
  Text path = entry;
  FileUrlToPath(path);
  return context.mayReadFile(path);
}
constexpr TextView kDumpFileName = u"QORVA_mime.txt";
const Text kRule(56, u'=');

enum class ListKind { kImages, kFiles };

bool StartsWithNoCase(TextView text, TextView prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// "<id>", appended piece by piece (the operator+ form trips a false overlap warning of
// the cross compiler).
std::string AngleBracketed(const std::string& id) {
  std::string out;
  out.reserve(id.size() + 2);
  out.push_back('<');
  out.append(id);
  out.push_back('>');
  return out;
}

class Encoder {
 public:
  explicit Encoder(MimeEncodeContext& context) : c_(context) {}

  void Log(TextView text) const {
    if (c_.useLog) WriteLog(c_.clock, text);
  }

  std::string Bytes(TextView text) const { return AnsiBytesOf(c_.system, text); }

  // Keeps the entries that the HTML refers to, downloading remote ones,
  // and gives each kept entry its Content-ID.
  std::vector<Text> RegisterReferences(std::vector<Text>& list, ListKind kind, Text& html) {
    std::vector<Text> contentIds;
    std::vector<Text> kept;
    for (Text& entry : list) {
      Text contentId = NewContentId(c_.system);
      Text reference = u"cid:" + contentId;
      if (IsExistingLocalFile(entry)) {
        if (!MayRead(c_, entry)) continue;
        size_t replaced = ReplaceAll(html, entry, reference);
        if (replaced == 0) replaced = ReplaceAll(html, ToggleFileUrl(entry), reference);
        if (replaced == 0) continue;
        if (kind == ListKind::kImages) Log(u"MIME Image : " + entry);
        kept.push_back(std::move(entry));
        contentIds.push_back(std::move(contentId));
        continue;
      }
      if (c_.mimeLocalOnly == 1) continue;
      std::optional<Text> local = DownloadEntry(entry, kind);
      if (!local) continue;
      Text replacedText = entry;
      size_t replaced = ReplaceAll(html, entry, reference);
      if (replaced == 0) {
        replacedText = HostRelative(entry);
        replaced = ReplaceAll(html, replacedText, reference);
      }
      if (replaced == 0) continue;
      if (kind == ListKind::kImages) Log(u"MIME Image : " + replacedText);
      kept.push_back(std::move(*local));
      contentIds.push_back(std::move(contentId));
    }
    list = std::move(kept);
    return contentIds;
  }

  // The message: the header, the HTML part, then a part per kept image and file.
  void BuildMessage(CMimeMessage& message, const Text& charset, Text html,
                    const MimeFileLists& lists, const std::vector<Text>& imageIds,
                    const std::vector<Text>& fileIds) {
    if (c_.mimeRemoveHeader == 0) {
      message.PutField("Subject", Bytes(kSubject));
      message.StampDate(c_.clock);
    }
    message.PutField("MIME-Version", "1.0");
    message.PutField("Content-Type", "multipart/related");
    message.MakeBoundary();
    if (c_.mimeRemoveHeader == 0) {
      // The name's CR LF ends the header early: the line lands in the preamble.
      message.AppendField(
          {"\r\nX-Generator", "QORVAEditor MIME Control V1.0 by VANTREL Technology Inc.", {}});
    }

    CMimeBody& htmlPart = message.AppendPart();
    htmlPart.PutField("Content-Type", "text/html");
    htmlPart.PutCharsetParameter(Bytes(charset));
    htmlPart.PutField("Content-Transfer-Encoding",
                      Bytes(TransferEncodingName(c_.mimeConentEncodingType)));
    Log(u"Header Encoding (E)");
    Log(u"HTML BODY Encoding (S)");
    ReplaceAll(html, u"file:///cid:", u"cid:");
    htmlPart.AssignContent(charset == u"utf-8" ? ToUtf8(html) : Bytes(html));
    Log(u"HTML BODY Encoding (E)");

    for (size_t i = 0; i < lists.images.size(); ++i) {
      const Text& entry = lists.images[i];
      const Text& contentId = imageIds[i];
      Log(Text(u"Image File : ").append(entry).append(u" - ").append(contentId).append(u" (S)"));
      Text path = entry;
      FileUrlToPath(path);
      CMimeBody& part = message.AppendPart();
      const Text type = ContentTypeForFile(c_.contentTypes, path);
      part.PutField("Content-Type", Bytes(type));
      std::string name = Bytes(NewUniqueName(c_.system) + u"." + SubtypeOf(type));
      part.PutNameParameter(name);
      part.PutField("Content-Transfer-Encoding", "base64");
      part.PutField("Content-ID", AngleBracketed(Bytes(contentId)));
      part.PutField("Content-Disposition", "inline; filename=\"" + name + "\"");
      bool loaded = part.AttachContentFile(path, ContentMode::kBinary, c_.system);
      Log(u"Image File : " + contentId + (loaded ? u" is OK (E)" : u" is FAIL (E)"));
    }

    for (size_t i = 0; i < lists.files.size(); ++i) {
      Text path = lists.files[i];
      FileUrlToPath(path);
      CMimeBody& part = message.AppendPart();
      const Text type = ContentTypeForFile(c_.contentTypes, path);
      part.PutField("Content-Type", Bytes(type));
      ByteOrderMark mark = DetectByteOrderMark(path);
      if (mark == kBomUtf8) part.PutCharsetParameter("utf-8");
      if (mark == kBomUtf16Le) part.PutCharsetParameter("unicode");
      part.PutNameParameter(Bytes(SubtypeOf(type)));
      part.PutField("Content-Transfer-Encoding",
                    Bytes(TransferEncodingName(c_.mimeConentEncodingType)));
      part.PutField("Content-ID", AngleBracketed(Bytes(fileIds[i])));
      part.AttachContentFile(path, ContentMode::kText, c_.system);
    }
  }

 private:
  // A remote entry fetched for the message: the local path of the downloaded file, or none.
  std::optional<Text> DownloadEntry(const Text& entry, ListKind kind) {
    Text name = ExtractFileName(entry);
    if (kind == ListKind::kImages) name = SanitizeFileName(name);
    // A file entry keeps its name unsanitised, but "x\\y.z/q" must not make its extension
    // a sub-folder.
    Text extension =
        name.find(u'.') == Text::npos ? Text() : SanitizeFileName(ToLower(ExtractExtension(name)));
    Text targetName = NewUniqueName(c_.system) + u"." + extension;
    if (kind == ListKind::kImages) {
      bool image = false;
      for (TextView known : {u"png", u"bmp", u"jpg", u"jpeg", u"gif"}) image |= extension == known;
      // A name no file system takes, so that the download names the file from the answer.
      if (!image) targetName = u"?.jpg";
    }
    // The working folder exists once its path is known; the name holds no separator.
    Text target = WorkingFolderPath(kWorkingFolderName) + targetName;
    RemoveFileForcibly(PathFromText(target));

    Text url;
    if (!StartsWithNoCase(entry, u"http") || !c_.mimeBaseURL.empty()) {
      url = (c_.mimeBaseURL.empty() ? c_.hostPagePath : c_.mimeBaseURL) + entry;
    } else {
      url = entry;
    }
    if (c_.mimeLocalOnly == 2) {
      // An unknown host page matches nothing: the empty text would match every URL.
      bool ownHost = !c_.hostPagePath.empty() && Contains(url, c_.hostPagePath);
      bool base = !c_.mimeBaseURL.empty() && Contains(url, c_.mimeBaseURL);
      if (!ownHost && !base) return std::nullopt;
    }
    Text requestPath = ExtractUrlPath(url);
    serverUrl_ = requestPath.empty() ? url : url.substr(0, url.size() - requestPath.size()) + u"/";
    if (!c_.download || !c_.download(serverUrl_, requestPath, target)) return std::nullopt;
    return target;
  }

  Text HostRelative(const Text& entry) const {
    Text relative = entry;
    ReplaceAll(relative, serverUrl_, u"/");
    return relative;
  }

  MimeEncodeContext& c_;
  Text serverUrl_;
};

// Serialises the message, shows its bytes to `withBytes` and turns them into
// text, read in the ANSI code page; a zero byte in a content cuts nothing off. The
// message is gone before the text is made. The bytes are written into the upper half of the
// result's own storage, so that an ASCII message needs no second copy.
Text SerializeToText(const System& system, std::unique_ptr<CMimeMessage> message,
                     const std::function<void(std::string_view)>& withBytes) {
  EnableHeaderFolding();
  size_t size = message->SerializedSize();
  Text text(size, u'\0');
  char* bytes = reinterpret_cast<char*>(text.data()) + size;
  ptrdiff_t written = message->Serialize(bytes, size);
  std::string_view serialized(bytes, written > 0 ? static_cast<size_t>(written) : 0);
  withBytes(serialized);
  message.reset();
  if (WidenAsciiInPlace(text, size, serialized.size())) return text;
  return TextOfAnsiBytes(system, serialized, UpToZero::kNo);
}

}  // namespace

Text QorvaEncodeMime(MimeEncodeContext& context, Text& mimeCharset, MimeFileLists lists,
                     TextView strHtml, int32_t /*nFileNameType*/) {
  Encoder encoder(context);
  encoder.Log(u"QORVA Mime Start " + kRule);
  encoder.Log(FormatText("MIME Option : %u", context.mimeLocalOnly));
  Text html(strHtml);
  std::vector<Text> imageIds = encoder.RegisterReferences(lists.images, ListKind::kImages, html);
  std::vector<Text> fileIds = encoder.RegisterReferences(lists.files, ListKind::kFiles, html);

  encoder.Log(u"Make MIME Start ----------");
  encoder.Log(u"Header Encoding (S)");
  mimeCharset = ToLower(mimeCharset);
  if (mimeCharset.empty()) mimeCharset = u"euc-kr";
  auto message = std::make_unique<CMimeMessage>();
  encoder.BuildMessage(*message, mimeCharset, std::move(html), lists, imageIds, fileIds);

  bool utf8 = mimeCharset == u"utf-8";
  return SerializeToText(context.system, std::move(message), [&](std::string_view bytes) {
    encoder.Log(u"Make MIME End ----------");
    if (context.useLog) {
      Text path = WorkingFolderPath(kWorkingFolderName) + Text(kDumpFileName);
      std::ofstream dump(PathFromText(path), std::ios::binary | std::ios::trunc);
      if (dump) {
        if (utf8) dump.write("\xEF\xBB\xBF", 3);
        dump.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        encoder.Log(u"");
        encoder.Log(u"MIME File Saved : " + path);
      }
    }
    encoder.Log(u"QORVA Mime End   " + kRule);
    encoder.Log(u"");
    encoder.Log(u"");
  });
}

Text QorvaEncodeMine(MimeEncodeContext& context, TextView strHtml, int32_t /*nFileNameType*/) {
  Text html(strHtml);
  std::vector<Text> sources = CollectLocalImageSources(html);
  std::erase_if(sources, [&](const Text& source) { return !MayRead(context, source); });
  std::vector<Text> contentIds;
  for (const Text& source : sources) {
    contentIds.push_back(NewContentId(context.system));
    ReplaceAll(html, source, u"cid:" + contentIds.back());
  }

  auto message = std::make_unique<CMimeMessage>();
  message->PutField("Subject", AnsiBytesOf(context.system, kSubject));
  message->StampDate(context.clock);
  message->PutField("MIME-Version", "1.0");
  message->PutField("Content-Type", "multipart/related");
  message->MakeBoundary();
  message->AppendField({"\r\nX-Generator", "QORVWebEditor MIME Control V2.5 by KOLMET", {}});
  CMimeBody& htmlPart = message->AppendPart();
  htmlPart.PutField("Content-Type", "text/html");
  htmlPart.PutCharsetParameter("euc-kr");
  htmlPart.PutField("Content-Transfer-Encoding", "base64");
  htmlPart.AssignContent(AnsiBytesOf(context.system, html));

  for (size_t i = 0; i < sources.size(); ++i) {
    Text path = sources[i];
    FileUrlToPath(path);
    CMimeBody& part = message->AppendPart();
    const Text type = ContentTypeForFile(context.contentTypes, path);
    part.PutField("Content-Type", AnsiBytesOf(context.system, type));
    part.PutNameParameter(AnsiBytesOf(context.system, SubtypeOf(type)));
    part.PutField("Content-Transfer-Encoding", "base64");
    part.PutField("Content-ID", AngleBracketed(AnsiBytesOf(context.system, contentIds[i])));
    part.AttachContentFile(path, ContentMode::kBinary, context.system);
  }
  Text text = SerializeToText(context.system, std::move(message), [](std::string_view) {});
  return text.empty() ? Text(u"0") : text;
}

Text NewContentId(System& system) { return NewUniqueName(system) + u"@" + Text(kMailDomain); }

Text ContentTypeForFile(const ContentTypes& contentTypes, TextView path) {
  size_t dot = path.rfind(u'.');
  TextView extension = dot == TextView::npos ? path : path.substr(dot);
  return contentTypes.ContentTypeOf(extension).value_or(u"application/octet-stream");
}

Text SubtypeOf(TextView contentType) {
  size_t slash = contentType.find(u'/');
  return Text(slash == TextView::npos ? contentType : contentType.substr(slash + 1));
}

Text ContentSubtype(const ContentTypes& contentTypes, TextView path) {
  return SubtypeOf(ContentTypeForFile(contentTypes, path));
}

Text TransferEncodingName(uint32_t mimeConentEncodingType) {
  switch (mimeConentEncodingType) {
    case 1:
      return u"7bit";
    case 2:
      return u"8bit";
    case 4:
      return u"quoted-printable";
    default:
      return u"base64";
  }
}

std::vector<Text> CollectLocalImageSources(TextView html) {
  // Each pattern's next place is kept from one image to the next: the scan only moves
  // forward, so a place not yet passed is still the next, and a pattern absent after one
  // place is absent after every later one. Searched afresh for every image, an absent
  // pattern would make the scan quadratic in the number of images.
  struct Next {
    TextView pattern;
    size_t at = 0;
    bool searched = false;
  };
  auto nextFrom = [html](Next& next, size_t pos) {
    if (!next.searched || (next.at != TextView::npos && next.at < pos)) {
      next.at = FindText(html, next.pattern, pos);
      next.searched = true;
    }
    return next.at;
  };
  Next local{u"src=\"file:///"}, upper{u"SRC=\""}, lower{u"src=\""};
  std::vector<Text> sources;
  size_t pos = 0;
  while (pos < html.size()) {
    size_t found = nextFrom(local, pos);
    if (found == TextView::npos) found = nextFrom(upper, pos);
    if (found == TextView::npos) found = nextFrom(lower, pos);
    if (found == TextView::npos) break;
    if (Contains(ToLower(html.substr(found, 9)), u"http")) {
      pos = found + 9;
      continue;
    }
    size_t start = found + 5;
    size_t end = html.find(u'"', start);
    if (end == TextView::npos) break;
    sources.emplace_back(html.substr(start, end - start));
    pos = end;
  }
  return sources;
}

}  // namespace qorva
