#include "images/skin_images.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/user_interface.h"
#include "support/file_path.h"
#include "support/string_helpers.h"
#include "support/string_table.h"
#include "support/working_folder.h"
#include "transfer/download.h"

namespace qorva {

namespace {

constexpr TextView kImagePropertySkins[] = {
    u"i_bg.png",           u"i_cancel_btn.png",    u"i_check_btn.png",
    u"i_checkoff_btn.png", u"i_clearlink_btn.png", u"i_close_btn.png",
    u"i_confirm_btn.png",  u"i_find_btn.png",      u"i_size_btn.png"};
constexpr TextView kImageResizeSkins[] = {u"popup_image_size_bg.png", u"close_btn_single.png",
                                          u"check_btn_on.png",        u"check_btn_off.png",
                                          u"apply_btn.png",           u"cancel_btn.png"};

constexpr uint32_t kMessageNoResources = 13;

struct BundledPicture {
  TextView name;
  const unsigned char* bytes;
  size_t size;
};
// The resize dialog's and the photo editor's pictures, generated from
// support/resources/skins at build time.
#include "skin_pictures.inc"

}  // namespace

std::span<const TextView> ImagePropertySkinNames() { return kImagePropertySkins; }
std::span<const TextView> ImageResizeSkinNames() { return kImageResizeSkins; }

Text SkinFolderPath(TextView skinLanguage) {
  Text folder = WorkingFolderPath(kWorkingFolderName) + Text(skinLanguage) + kPathSeparator;
  EnsureFolderTree(folder);
  return folder;
}

std::vector<TextView> BundledSkinNames() {
  std::vector<TextView> names;
  for (const BundledPicture& picture : kBundledPictures) names.push_back(picture.name);
  return names;
}

Text WriteMissingSkinImages(TextView skinLanguage) {
  Text folder = SkinFolderPath(skinLanguage);
  for (const BundledPicture& picture : kBundledPictures) {
    Text path = folder + Text(picture.name);
    std::error_code error;
    // A picture already there stays: a site may have put its own.
    if (std::filesystem::exists(PathFromText(path), error)) continue;
    WriteFileBytes(path,
                   std::string_view(reinterpret_cast<const char*>(picture.bytes), picture.size));
  }
  return folder;
}

SkinSource SkinSourceFor(TextView resourceUrl, TextView skinLanguage) {
  Text path = ExtractUrlPath(resourceUrl);
  SkinSource source{Text(resourceUrl), {}};
  ReplaceAll(source.serverUrl, path, u"/");
  size_t last = path.find_last_of(u"/\\");
  if (last != Text::npos) source.folderPath = path.substr(0, last + 1);
  source.folderPath += Text(skinLanguage) + u"/";
  return source;
}

bool FetchSkinImages(const SkinFetchContext& context, bool& fetched) {
  if (fetched) return true;
  Text language = context.skinLanguage.empty() ? Text(u"ko") : context.skinLanguage;
  Text folder = SkinFolderPath(language);
  WaitCursor wait(context.userInterface);
  SkinSource source = SkinSourceFor(context.resourceUrl, language);
  for (TextView name : kImagePropertySkins) {
    Text localPath = folder + Text(name);
    if (!DownloadToFile(context.http, context.system, source.serverUrl,
                        source.folderPath + Text(name), localPath)) {
      context.userInterface.ShowMessageBox(LoadResourceText(context.system, kMessageNoResources),
                                           context.systemTitle, MessageIcon::kError,
                                           MessageButtons::kOk);
      return false;
    }
  }
  fetched = true;
  return true;
}

}  // namespace qorva
