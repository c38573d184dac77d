#include "paste/paragraph_class_cleanup.h"

#include <filesystem>
#include <limits>
#include <system_error>

#include "paste/image_resize.h"
#include "paste/office_style_inliner.h"
#include "paste/paste_cleanup.h"
#include "paste/paste_text.h"
#include "support/file_path.h"
#include "support/string_helpers.h"

namespace qorva {

namespace {

Text StripQuotes(TextView text) {
  while (!text.empty() && text.front() == u'"') text.remove_prefix(1);
  while (!text.empty() && text.back() == u'"') text.remove_suffix(1);
  return Text(text);
}

// The leading integer (optional sign, then digits), held to the 32-bit range.
int64_t LeadingInteger(TextView text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min<int64_t>(value * 10 + (text[i] - u'0'), int64_t{1} << 32);
  }
  return negative ? -value : value;
}

int32_t SizeValue(const Text& field, TextView name) {
  Text value = field;
  DeleteAll(value, name);
  value = StripQuotes(value);
  int64_t number = LeadingInteger(value);
  if (Contains(field, u"pt")) number = number * 4 / 3;
  number = std::clamp<int64_t>(number, std::numeric_limits<int32_t>::min(),
                               std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(number);
}

bool FileExists(const Text& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(PathFromText(path), error);
}

}  // namespace

void CleanParagraphClassHtml(Text& html, PasteContext& context) {
  std::vector<Text>& tags = context.fallbackImageTags;
  tags.clear();
  ParseStyleSheetBetween(html, u"type=\"text/css\"><!--", u"</head>", context.officeStyleMap);
  bool removed = false;
  if (CutToFragment(html)) {
    removed = RemoveVmlBlocks(
        html, [&tags](TextView following) { RecordFallbackImage(tags, following); });
  }
  InlineQuotedClassStyles(html, context.officeStyleMap);
  if (removed) {
    ReplaceInTurn(html, {{u"/><![endif]>", u" />"},
                         {u"</span><![endif]>", u"</span>"},
                         {u"<![endif]>", u""},
                         {u"<![if !vml]>", u""}});
  }
  ReplaceInTurn(html, {{u"<![if !supportEmptyParas]>&nbsp;<![endif]>", u""},
                       {u"<![endif]>", u""},
                       {u"background:#ffffff;", u""}});
  StripMsoPrefixes(html);
  if (!context.imageCodec) return;
  for (const Text& tag : tags) {
    ImageTagValues image = ParseImageTag(tag);
    if (image.path.empty() || image.width <= 0 || image.height <= 0) continue;
    ResizeImageFileInPlace(*context.imageCodec, image.path, image.width, image.height,
                           context.jpegQuality);
  }
}

void CleanOfficeNamespaceHtml(Text& html, PasteContext& context) {
  ParseStyleSheetBetween(html, u"<!--tr", u"</head>", context.officeStyleMap);
  CutToFragment(html);
  InlineDotClassStyles(html, context.officeStyleMap, DotDotDash::kKeep, context.officeLineFix);
  if (context.officeLineFix != 0) DeleteAll(html, u"border-right:none;");
  DeleteUnits(html, u"\r\n");
  StripMsoPrefixes(html);
}

void StripMsoPrefixes(Text& html) {
  ReplaceInTurn(html, {{u"mso-fareast-", u""},
                       {u"mso-hansi-", u""},
                       {u"mso-ascii-", u""},
                       {u"mso-bidi-", u""},
                       {u"mso-", u""}});
}

void RecordFallbackImage(std::vector<Text>& fallbackImageTags, TextView followingText) {
  if (!followingText.starts_with(u"<img")) return;
  size_t gt = followingText.find(u'>');
  if (gt == TextView::npos || gt == 0) return;
  fallbackImageTags.emplace_back(followingText.substr(0, gt + 1));
}

ImageTagValues ParseImageTag(TextView tag) {
  ImageTagValues values;
  std::vector<Text> fields;
  SplitList(ToLower(tag), u" ", fields);
  for (const Text& field : fields) {
    if (Contains(field, u"height=")) {
      values.height = SizeValue(field, u"height=");
    } else if (Contains(field, u"width=")) {
      values.width = SizeValue(field, u"width=");
    } else if (Contains(field, u"src=")) {
      Text path = field;
      DeleteAll(path, u"src=");
      path = StripQuotes(path);
      DeleteAll(path, u"file:///");
      if (FileExists(path)) values.path = path;
    }
  }
  return values;
}

}  // namespace qorva
