#include "mime/mime_decode.h"

#include <exception>
#include <vector>

#include "mime/mime_file_names.h"
#include "mime/mime_message.h"
#include "mime/mime_text.h"
#include "support/encoding.h"
#include "support/working_folder.h"

namespace qorva {

namespace {

// The extension a part without a name is saved with, from its content type.
TextView ExtensionForType(const std::string& contentType) {
  std::string type = LowerAscii(contentType);
  if (Contains(type, "jpg") || Contains(type, "jpeg")) return u".jpg";
  if (Contains(type, "png")) return u".png";
  if (Contains(type, "gif")) return u".gif";
  if (Contains(type, "bmp")) return u".bmp";
  if (Contains(type, "tiff")) return u".tiff";
  return u"";
}

// Saves a part the HTML refers to and points the references at the copy.
void SaveReferencedPart(System& system, const CMimeBody& part, std::string_view content,
                        TextView folder, Text& html) {
  Text reference = FromUtf8(part.FieldValue("Content-ID").value_or(std::string()));
  ReplaceAll(reference, u"<", u"");
  ReplaceAll(reference, u">", u"");
  reference.insert(0, u"cid:");

  std::string contentType = part.ContentType().value_or(std::string());
  // A name from the message names one file directly in the working folder, or none. Two
  // parts of one name, or a name an earlier decode used, get files of their own.
  Text name = ReduceToFileName(FromUtf8(part.NameParameter()));
  Text path;
  if (!name.empty()) {
    path = UnusedFilePath(system, folder, name);
  } else {
    path = Text(folder) + NewUniqueName(system) + Text(ExtensionForType(contentType));
  }
  CMimeBody::SaveBytesFile(path, content);  // a file that cannot be written is skipped silently

  for (char16_t& unit : path) {
    if (unit == u'\\') unit = u'/';
  }
  ReplaceAll(html, reference, u"file:///" + path);
}

}  // namespace

Text QorvaDecodeMime(System& system, TextView strMime) {
  if (strMime.empty()) return {};
  std::string bytes = AnsiBytesOf(system, strMime);
  NormaliseLineEnds(bytes);

  // The parts stay encoded in `bytes` and are decoded and saved one at a time, each into
  // the storage of the one before.
  CMimeMessage message;
  message.DeferContentDecoding(true);
  if (message.Parse(bytes) < 1) return {};

  std::vector<CMimeBody*> leaves;
  message.CollectLeafParts(leaves);
  Text folder = WorkingFolderPath(kWorkingFolderName);
  Text html;
  std::string content;
  try {
    for (CMimeBody* part : leaves) {
      if (!part->DecodeContentInto(content)) continue;
      bool isHtml = false;
      bool isUtf8 = false;
      std::optional<std::string> contentType = part->ContentType();
      if (contentType && Contains(*contentType, "text/html")) {
        isHtml = true;
        isUtf8 = EqualsAsciiIgnoreCase(part->CharsetParameter(), "utf-8");
      }
      MediaCode code = part->MediaTypeCode();
      if (code != kMediaText && contentType && part->FindField("Content-ID")) {
        SaveReferencedPart(system, *part, content, folder, html);
      } else if (code == kMediaText && isHtml) {
        html = isUtf8 ? FromUtf8(content) : TextOfAnsiBytes(system, content);
      }
    }
  } catch (const std::exception&) {
    // What was built so far is returned.
  }
  return html;
}

}  // namespace qorva
