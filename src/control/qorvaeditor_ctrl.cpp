#include "control/qorvaeditor_ctrl.h"

#include "browser/site_lock.h"
#include "control/control_parameters.h"
#include "control/control_settings.h"
#include "control/property_exchange.h"
#include "graphics/bitmap_drawing.h"
#include "platform/control_site.h"
#include "platform/embedded_browser.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/user_interface.h"
#include "support/image_files.h"
#include "support/log_file.h"
#include "support/string_helpers.h"
#include "support/string_table.h"
#include "transfer/page_setup.h"

namespace qorva {

namespace {

constexpr TextView kBlankPage = u"about:blank";  // also the default of qorvaEditorInitURL
constexpr TextView kContainerPagePath = u"/pages/editor_container.html";
constexpr TextView kExplorerPolicyKey =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr uint32_t kDriveCOnly = 4;
constexpr uint32_t kPollPeriodMs = 100;
constexpr TextView kEditorStatusFunction = u"get_editor_status";
constexpr TextView kEditorReady = u"TRUE";

}  // namespace

CQorvaeditorCtrl::CQorvaeditorCtrl(Platform platform) : platform_(platform) {}

CQorvaeditorCtrl::~CQorvaeditorCtrl() = default;

void CQorvaeditorCtrl::ExchangeParameters(PropertyExchange& exchange) {
  exchange.ExchangeVersion(1, 0);
  for (const ControlParameter& parameter : ControlParameters()) {
    parameter.exchange(*this, exchange, parameter);
  }

  // A page the administrator did not allow changes no setting of the process or browser.
  if (!PageMayDrive()) return;

  // The drive policy and the host page are read before the lock: both reach the platform.
  SettingsInputs inputs;
  if (!openDialogInitDir.empty()) inputs.driveCRestricted = IsDriveCRestricted();
  if (InContainerMode()) DeriveContainerPageUrl();
  Text hostPagePath = HostPageOrigin();

  UpdateSettings([&](ControlSettings& s) {
    for (const ControlParameter& parameter : ControlParameters()) {
      if (parameter.toSettings) parameter.toSettings(*this, inputs, s);
    }
    s.hostPagePath = hostPagePath;
  });

  std::vector<Text> sites;
  if (!trustSites.empty()) SplitList(trustSites, u",", sites);
  for (const Text& site : sites) AddTrustedSite(platform_.registry, Trim(site));
  ApplyClipboardZoneAction(platform_.registry, savedZoneActions, ZoneActionStep::kApply);
}

CQorvaeditorCtrl::SiteAccess CQorvaeditorCtrl::Access() {
  if (siteAccess_) return *siteAccess_;
  const Text url = platform_.site.HostDocumentUrl();
  const SitePolicy policy = ReadSitePolicy(platform_.registry);
  const std::optional<Origin> origin = OriginOfUrl(url);
  SiteAccess access{!policy.allowedOrigins || policy.allowedOrigins->Contains(origin),
                    policy.anyLocalFileOrigins.Contains(origin)};
  // Before the control is sited the address is unknown; it is asked again later.
  if (!url.empty()) {
    siteAccess_ = access;
    if (!access.mayDrive) {
      WriteLog(platform_.clock, u"Refused: the page " + url +
                                    u" is not on the administrator's list of allowed origins");
    }
  }
  return access;
}

bool CQorvaeditorCtrl::PageMayDrive() {
  return platform_.caller == ScriptCaller::kLocalUser || Access().mayDrive;
}

bool CQorvaeditorCtrl::PageMayNameAnyLocalFile() { return Access().anyLocalFile; }

bool CQorvaeditorCtrl::IsDriveCRestricted() {
  auto key = platform_.registry.OpenKey(RegistryHive::kLocalMachine, kExplorerPolicyKey,
                                        RegistryAccess::kRead);
  if (!key) return false;
  std::optional<uint32_t> noDrives = key->ReadDword(u"NoDrives");
  if (noDrives != kDriveCOnly) return false;
  return key->ReadDword(u"NoViewOnDrive") == kDriveCOnly;
}

void CQorvaeditorCtrl::DeriveContainerPageUrl() {
  Text lower = ToLower(qorvaEditorInitURL);
  if (lower.empty() || lower == kBlankPage) {
    containerPageUrl = kBlankPage;
    return;
  }
  while (!qorvaEditorInitURL.empty() && qorvaEditorInitURL.back() == u'/') {
    qorvaEditorInitURL.pop_back();
  }
  containerPageUrl = qorvaEditorInitURL + Text(kContainerPagePath);
}

Text CQorvaeditorCtrl::HostPageOrigin() const {
  Text url = platform_.site.HostDocumentUrl();
  Text path = ExtractUrlPath(url);
  // Every occurrence goes, also one inside the scheme or the host.
  ReplaceAll(url, path, u"");
  return url;
}

bool CQorvaeditorCtrl::EnsureWindow() { return platform_.site.EnsureWindow(); }

void CQorvaeditorCtrl::ShowResourceMessage(uint32_t id) {
  Text caption = SettingsSnapshot().systemTitle;
  platform_.userInterface.ShowMessageBox(LoadResourceText(platform_.system, id), caption,
                                         MessageIcon::kNone, MessageButtons::kOk);
}

void CQorvaeditorCtrl::OnWindowCreated() {
  if (!InContainerMode()) {
    ReadPageSetup(platform_.registry, savedPageHeader, savedPageFooter);
    return;
  }
  // A page the administrator did not allow gets no embedded browser either.
  if (!PageMayDrive()) return;
  browser = platform_.site.CreateBrowser([this](TextView url) { OnDocumentComplete(url); });
  browserCreated = browser ? 1 : 0;
  if (!browser) return;
  browser->SetSilent(true);
  browser->Navigate(containerPageUrl);
  browser->MoveWindow(platform_.site.ClientRect(), Repaint::kNo);
}

bool CQorvaeditorCtrl::BrowserReady() const {
  return InContainerMode() && browserCreated != 0 && browser && browser->HasWindow();
}

void CQorvaeditorCtrl::OnDocumentComplete(TextView url) {
  if (!InContainerMode()) return;
  if (browserCreated == 0 || !browser || ToLower(url) != ToLower(containerPageUrl)) return;
  // A timer that cannot start leaves the id as it was, so a later page can try again.
  if (uint32_t id = platform_.site.SetTimer(loadPollTimerId, kPollPeriodMs)) loadPollTimerId = id;
  if (std::shared_ptr<PageDocument> document = browser->Document()) {
    scriptBridgeReady = jsWebPage.SetDocument(std::move(document));
  }
}

bool CQorvaeditorCtrl::OnTimer(uint32_t id) {
  if (id != loadPollTimerId) return false;
  if (!InContainerMode()) {
    platform_.site.KillTimer(loadPollTimerId);
    events.FireQorvaEventLoaded();
    return true;
  }
  if (!polling_) PollEditorStatus();
  return true;
}

void CQorvaeditorCtrl::PollEditorStatus() {
  polling_ = true;
  Variant status;
  bool called = jsWebPage.CallPageFunction(kEditorStatusFunction, {}, &status);
  polling_ = false;
  if (!called || VariantToText(status) != kEditorReady) return;
  platform_.site.KillTimer(loadPollTimerId);
  events.FireQorvaEventLoaded();
}

void CQorvaeditorCtrl::OnWindowResized() {
  if (BrowserReady()) browser->MoveWindow(platform_.site.ClientRect(), Repaint::kYes);
}

void CQorvaeditorCtrl::OnKeyDown(const KeyMessage& message) {
  if (BrowserReady()) browser->ForwardKeyDown(message);
}

void CQorvaeditorCtrl::OnWindowDestroyed() {
  if (!InContainerMode()) WritePageSetup(platform_.registry, savedPageHeader, savedPageFooter);
  // A page the administrator did not allow changed nothing to put back.
  if (PageMayDrive()) {
    ApplyClipboardZoneAction(platform_.registry, savedZoneActions, ZoneActionStep::kRestore);
  }
  mimeImageList.clear();
  mimeFileList.clear();
  logoImage.reset();
}

std::optional<Bitmap> CQorvaeditorCtrl::RenderFace(int32_t width, int32_t height) {
  constexpr int32_t kLogoWidth = 92;
  constexpr int32_t kLogoHeight = 96;
  std::optional<Bitmap> face = Bitmap::Create(width, height, PixelFormat::kRgb24);
  if (!face) return std::nullopt;
  face->Fill(MakeArgb(255, 255, 255, 255));
  if (width <= 100 || height <= 100) return face;
  if (!logoImage) logoImage = LoadLogoImage(platform_.imageCodec);
  if (logoImage) {
    DrawBitmapScaled(
        *face, {width / 2 - kLogoWidth / 2, height / 2 - kLogoHeight / 2, kLogoWidth, kLogoHeight},
        *logoImage);
  }
  return face;
}

Text CQorvaeditorCtrl::setQorvaInit() { return {}; }

Text CQorvaeditorCtrl::getQorvaPluginVersion() {
  std::optional<FileVersion> version = platform_.system.ModuleFileVersion();
  if (!version) return {};
  return FormatText("%d,%d,%d,%d", (*version)[0], (*version)[1], (*version)[2], (*version)[3]);
}

void CQorvaeditorCtrl::SetToSavePathURL(TextView strPathUrl) {
  UpdateSettings([&](ControlSettings& s) { s.toSavePathUrl = strPathUrl; });
}

void CQorvaeditorCtrl::SetFolderNameRule(TextView strNameRule) {
  UpdateSettings([&](ControlSettings& s) { s.saveFolderNameRule = strNameRule; });
}

void CQorvaeditorCtrl::SetImagePropMode(uint32_t nMode) {
  imagePropStyle = nMode != 0 ? u"1" : u"0";
}

void CQorvaeditorCtrl::SetServerDomain(TextView strDomain) { serverDomain = strDomain; }

void CQorvaeditorCtrl::ResizeTo(uint32_t newWidth, uint32_t newHeight) {
  Rect rect{0, 0, static_cast<int32_t>(newWidth), static_cast<int32_t>(newHeight)};
  platform_.site.MoveWindow(rect, Repaint::kYes);
  if (BrowserReady()) browser->MoveWindow(rect, Repaint::kYes);
  platform_.site.MarkModified();
}

void CQorvaeditorCtrl::SetWidth(uint32_t value) {
  EnsureWindow();
  width = value;
  height = static_cast<uint32_t>(platform_.site.ClientRect().height());
  ResizeTo(width, height);
}

void CQorvaeditorCtrl::SetHeight(uint32_t value) {
  EnsureWindow();
  height = value;
  width = static_cast<uint32_t>(platform_.site.ClientRect().width());
  ResizeTo(width, height);
}

Text CQorvaeditorCtrl::GetQorvaEditorInitURL() {
  EnsureWindow();
  return qorvaEditorInitURL;
}

void CQorvaeditorCtrl::SetQorvaEditorInitURL(TextView value) {
  EnsureWindow();
  qorvaEditorInitURL = value;
  hasContainer = 1;
  DeriveContainerPageUrl();
  if (browser && browser->HasWindow()) {
    browser->SetSilent(true);
    browser->Navigate(containerPageUrl);
    browser->MoveWindow(platform_.site.ClientRect(), Repaint::kNo);
  }
  platform_.site.MarkModified();
}

}  // namespace qorva
