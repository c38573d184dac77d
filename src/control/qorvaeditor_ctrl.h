// The control object: one per object element in a page. Its public fields are the
// scripting properties and the state the later steps keep per control; its methods are
// the behaviours the scripting interface reaches through the dispatch table.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/text.h"
#include "browser/js_web_page.h"
#include "browser/zone_settings.h"
#include "control/control_events.h"
#include "graphics/bitmap.h"
#include "paste/office_style_map.h"
#include "platform/platform.h"

namespace qorva {

class EmbeddedBrowser;
class PropertyExchange;
struct KeyMessage;

class CQorvaeditorCtrl {
 public:
  explicit CQorvaeditorCtrl(Platform platform);
  ~CQorvaeditorCtrl();
  CQorvaeditorCtrl(const CQorvaeditorCtrl&) = delete;
  CQorvaeditorCtrl& operator=(const CQorvaeditorCtrl&) = delete;

  // Loads the parameters (with their defaults) or saves them, then derives the
  // process-wide settings record from the members.
  void ExchangeParameters(PropertyExchange& exchange);

  // True when the drive policy hides drive C: alone and forbids viewing it.
  bool IsDriveCRestricted();

  // False when the administrator configured a list of origins and the hosting page's is
  // not on it (a page whose origin cannot be read is not): such a control does nothing.
  bool PageMayDrive();
  // True when the hosting page is on the administrator's list of origins that may name
  // any local file.
  bool PageMayNameAnyLocalFile();

  // Makes sure the control has a window, in place or parked; false when it has none.
  bool EnsureWindow();
  bool InContainerMode() const { return hasContainer > 0; }
  // Shows string resource `id` in a message box captioned with the settings title.
  void ShowResourceMessage(uint32_t id);
  // When the control's window is created: outside container mode the user's page-setup
  // header and footer are kept, to be put back when the window goes; in container mode
  // the embedded browser is created, silent, and sent to the container page.
  void OnWindowCreated();
  // A document of the embedded browser has loaded: when it is the container page (letter
  // case aside) the readiness poll starts and the bridge takes the document.
  void OnDocumentComplete(TextView url);
  // A tick of a timer on the control's window; false when it is not the poll's, for
  // the window's default handling.
  bool OnTimer(uint32_t id);
  // The window's size changed: the embedded browser fills it again.
  void OnWindowResized();
  // A key-down message before the window translates it; the document sees it first.
  void OnKeyDown(const KeyMessage& message);
  // The clean-up when the control's window goes: the browser settings it changed are put
  // back, the per-window lists emptied and the logo freed.
  void OnWindowDestroyed();
  // The face of a window `width` by `height`: white, with the logo in the middle when
  // both sides are over 100 pixels (loaded on first use).
  std::optional<Bitmap> RenderFace(int32_t width, int32_t height);

  // The scripting methods of the control core.
  Text setQorvaInit();
  Text getQorvaPluginVersion();
  void SetToSavePathURL(TextView strPathUrl);
  void SetFolderNameRule(TextView strNameRule);
  void SetImagePropMode(uint32_t nMode);
  void SetServerDomain(TextView strDomain);

  // The properties with accessor functions.
  uint32_t GetWidth() const { return width; }
  void SetWidth(uint32_t value);
  uint32_t GetHeight() const { return height; }
  void SetHeight(uint32_t value);
  Text GetQorvaEditorInitURL();
  void SetQorvaEditorInitURL(TextView value);

  const Platform& platform() const { return platform_; }

  // Hosts subscribe here to QORVA_Event_Loaded.
  ControlEvents events;

  // The parameters; their names, defaults and dispatch ids are in control_parameters.cpp.
  Text uploadType;
  Text saveFileType;
  Text serverDomain;
  Text toSavePathUrl;
  Text saveFolderNameRule;
  Text saveFileNameRule;
  Text accessibility;
  Text postPageURL;
  Text imagePropStyle;
  Text mimeVersion;
  Text trustSites;
  Text mimeCharset;
  uint32_t mimeConentEncodingType = 0;
  uint32_t mimeFileTypeFilter = 0;
  uint32_t mimeLocalOnly = 0;
  uint32_t mimeRemoveHeader = 0;
  uint32_t hasContainer = 0;
  Text qorvaEditorInitURL;
  uint32_t width = 0;
  uint32_t height = 0;
  Text openDialogTitle;
  uint32_t openDialogType = 0;
  Text mimeBaseURL;
  uint32_t imgDefaultWidth = 0;
  uint32_t imgDefaultHeight = 0;
  Text openDialogInitDir;
  uint32_t officeLineFix = 0;
  Text systemTitle;
  int32_t useLog = 0;
  Text resourceUrl;  // where the skinned dialogs' pictures are, an object parameter only

  // State of the life cycle and of the later steps.
  Text containerPageUrl;
  int32_t browserCreated = 0;
  std::optional<Bitmap> logoImage;
  Text savedPageHeader;  // the user's page setup, as found when the window was created
  Text savedPageFooter;
  SavedZoneActions savedZoneActions;  // of URL action "1407", internet and trusted zones
  std::unique_ptr<EmbeddedBrowser> browser;
  CJSWebPage jsWebPage;
  bool scriptBridgeReady = false;
  uint32_t loadPollTimerId = 1;
  std::vector<Text> mimeImageList;
  std::vector<Text> mimeFileList;
  Text lastPasteHtml;
  std::vector<Text> lastPasteFiles;  // the files dropped on the clipboard for the last paste
  uint32_t pasteSourceType = 0;
  bool skinsFetched = false;  // the image property pictures arrived once for this control

  // Office paste clean-up state, kept between pastes.
  COfficeStyleMap officeStyleMap;
  std::vector<Text> fallbackImageTags;

 private:
  struct SiteAccess {
    bool mayDrive = true;
    bool anyLocalFile = false;
  };
  SiteAccess Access();

  void DeriveContainerPageUrl();
  Text HostPageOrigin() const;
  // Moves the window, and the embedded browser when it has one, to (0, 0) at this size.
  void ResizeTo(uint32_t newWidth, uint32_t newHeight);
  bool BrowserReady() const;
  void PollEditorStatus();

  // A poll waiting on the page: a tick in a nested message loop does not poll again.
  bool polling_ = false;

  Platform platform_;
  std::optional<SiteAccess> siteAccess_;  // kept once the hosting page's address is known
};

}  // namespace qorva
