#include "support/string_helpers.h"

namespace qorva {

Text ExtractFolderPart(TextView path) {
  size_t cut = path.rfind(u'\\');
  if (cut == TextView::npos) cut = path.rfind(u'/');
  if (cut == TextView::npos) return {};
  return Text(path.substr(0, cut + 1));
}

Text ExtractFileName(TextView path) {
  size_t cut = path.rfind(u'\\');
  if (cut == TextView::npos) cut = path.rfind(u'/');
  if (cut == TextView::npos) return Text(path);
  return Text(path.substr(cut + 1));
}

Text StripExtension(TextView path) {
  size_t dot = path.rfind(u'.');
  if (dot == TextView::npos) return {};
  return Text(path.substr(0, dot));
}

Text ExtractExtension(TextView path) {
  size_t dot = path.rfind(u'.');
  if (dot == TextView::npos) return {};
  return Text(path.substr(dot + 1));
}

Text ExtractUrlPath(TextView url) {
  size_t slashes = url.find(u"//");
  if (slashes == TextView::npos) return {};
  size_t path = url.find(u'/', slashes + 2);
  if (path == TextView::npos) return {};
  return Text(url.substr(path));
}

void SplitList(TextView text, TextView separators, std::vector<Text>& list) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t begin = text.find_first_not_of(separators, pos);
    if (begin == TextView::npos) return;
    size_t end = text.find_first_of(separators, begin);
    if (end == TextView::npos) end = text.size();
    list.emplace_back(text.substr(begin, end - begin));
    pos = end;
  }
}

void TextToHtml(Text& text) {
  ReplaceAll(text, u">", u"&gt;");
  ReplaceAll(text, u"<", u"&lt;");
  ReplaceAll(text, u"\r\n", u"<br />");
  ReplaceAll(text, u"\n", u"<br />");
  ReplaceAll(text, u"  ", u"&nbsp;&nbsp;");
}

void FileUrlToPath(Text& text) {
  ReplaceAll(text, u"file:///", u"");
  ReplaceAll(text, u"%20", u" ");
  ReplaceAll(text, u"%25", u"%");
  ReplaceAll(text, u"%26", u"&");
  ReplaceAll(text, u"%40", u"@");
  if (ToLower(TextView(text).substr(0, 4)) == u"http") return;
  if (text.find(u':') == Text::npos) return;
  for (char16_t& unit : text) {
    if (unit == u'/') unit = u'\\';
  }
}

}  // namespace qorva
