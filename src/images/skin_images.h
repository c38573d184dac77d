// The pictures of the skinned dialogs: the folder they are read from and the fetch of
// the image property dialog's set from the server the page names.
#pragma once

#include <span>
#include <vector>

#include "base/text.h"

namespace qorva {

class HttpClient;
class System;
class UserInterface;

// The image property dialog's pictures, in the order they are fetched.
std::span<const TextView> ImagePropertySkinNames();
// The image resize dialog's pictures.
std::span<const TextView> ImageResizeSkinNames();

// The working folder's sub-folder for `skinLanguage`, ending in a separator; created.
Text SkinFolderPath(TextView skinLanguage);

// The pictures the control carries itself: the resize dialog's and the photo editor's.
std::vector<TextView> BundledSkinNames();
// Writes each carried picture that the skin folder lacks; returns the folder.
Text WriteMissingSkinImages(TextView skinLanguage);

// Where the pictures come from for a resource URL: the server (scheme, host and port
// followed by "/") and the request folder (the URL path's folder, the language and "/").
struct SkinSource {
  Text serverUrl;
  Text folderPath;
};
SkinSource SkinSourceFor(TextView resourceUrl, TextView skinLanguage);

struct SkinFetchContext {
  HttpClient& http;
  System& system;
  UserInterface& userInterface;
  Text systemTitle;
  Text resourceUrl;
  Text skinLanguage;
};

// Downloads the image property set into the skin folder unless `fetched` says this
// control did so before; sets it after all of them arrived. At the first failure shows
// the resource error message and returns false, leaving `fetched` clear so the next
// call tries again.
bool FetchSkinImages(const SkinFetchContext& context, bool& fetched);

}  // namespace qorva
