// The process-wide settings record that every control instance fills from its
// parameters and that the upload, MIME, image and logging code read. The last
// parameter exchange of any control in the process decides its values.
#pragma once

#include <cstdint>
#include <functional>

#include "base/text.h"
#include "support/image_files.h"

namespace qorva {

struct ControlSettings {
  Text systemTitle = u"QORVA Editor";
  Text uploadType;
  Text saveFileType;
  Text serverDomain;
  Text toSavePathUrl;
  Text saveFolderNameRule;
  Text saveFileNameRule;
  Text accessibility = u"0";
  Text skinLanguage = u"ko";
  Text postPageURL;
  Text mimeVersion;
  Text openDialogTitle;
  Text mimeBaseURL;
  Text openDialogInitDir;
  Text hostPagePath;
  bool useLog = false;
  uint32_t openDialogType = 0;
  uint32_t imgDefaultWidth = 0;
  uint32_t imgDefaultHeight = 0;
  bool drivePolicyRestricted = false;
  int32_t jpegQuality = kDefaultJpegQuality;  // the last one the user chose
  Text resourceUrl;
};

// The size inserted pictures show at most.
inline ImageSize DefaultImageSize(const ControlSettings& settings) {
  return {settings.imgDefaultWidth, settings.imgDefaultHeight};
}

// A copy of the record as it stands. Controls on different threads share the record,
// so every read and write goes through one lock.
ControlSettings SettingsSnapshot();
// Changes the record under the lock.
void UpdateSettings(const std::function<void(ControlSettings&)>& change);
// Puts the record back to its values at module load.
void ResetSettings();

}  // namespace qorva
