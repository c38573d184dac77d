#include "win32/win32_skin_widgets.h"

#include <commctrl.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <string>

#include "images/button_faces.h"
#include "win32/wide_text.h"

namespace qorva {

namespace gp = Gdiplus::DllExports;

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession() {
  if (ok_) Gdiplus::GdiplusShutdown(token_);
}

void GdipImageDeleter::operator()(Gdiplus::GpImage* image) const { gp::GdipDisposeImage(image); }

namespace {

// The file's bytes in a stream of their own; none when the file cannot be read.
ComPtr<IStream> ReadFileStream(TextView path) {
  std::wstring name = Wide(path);
  HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  ComPtr<IStream> stream;
  bool ok = SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.ReleaseAndGetAddressOf()));
  char piece[1024];
  DWORD read = 0;
  while (ok && ReadFile(file, piece, sizeof piece, &read, nullptr) && read > 0) {
    ULONG written = 0;
    ok = SUCCEEDED(stream->Write(piece, read, &written)) && written == read;
  }
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!ok) {
    SetLastError(error);
    return nullptr;
  }
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

GdipImage DecodeStream(IStream* stream) {
  Gdiplus::GpImage* decoded = nullptr;
  if (gp::GdipLoadImageFromStream(stream, &decoded) != Gdiplus::Ok) return nullptr;
  return GdipImage(decoded);
}

}  // namespace

GdipImage LoadGdipImage(TextView path) {
  ComPtr<IStream> stream = ReadFileStream(path);
  if (!stream) return nullptr;
  GdipImage decoded = DecodeStream(stream.Get());
  if (!decoded) return nullptr;
  // GDI+ reads a picture's stream lazily; a copy drawn at once no longer needs it.
  UINT width = 0;
  UINT height = 0;
  gp::GdipGetImageWidth(decoded.get(), &width);
  gp::GdipGetImageHeight(decoded.get(), &height);
  Gdiplus::GpBitmap* copy = nullptr;
  if (width == 0 || height == 0 ||
      gp::GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0,
                                    PixelFormat32bppPARGB, nullptr, &copy) != Gdiplus::Ok) {
    return nullptr;
  }
  GdipImage result(copy);
  Gdiplus::GpGraphics* graphics = nullptr;
  if (gp::GdipGetImageGraphicsContext(copy, &graphics) == Gdiplus::Ok) {
    gp::GdipDrawImageRectI(graphics, decoded.get(), 0, 0, static_cast<INT>(width),
                           static_cast<INT>(height));
    gp::GdipDeleteGraphics(graphics);
  }
  return result;
}

void DrawStretched(HDC dc, Gdiplus::GpImage* image, const RECT& target, bool smooth) {
  if (!image) return;
  Gdiplus::GpGraphics* graphics = nullptr;
  if (gp::GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok) return;
  gp::GdipSetInterpolationMode(graphics, smooth ? Gdiplus::InterpolationModeHighQualityBicubic
                                                : Gdiplus::InterpolationModeNearestNeighbor);
  gp::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
  gp::GdipDrawImageRectI(graphics, image, target.left, target.top, target.right - target.left,
                         target.bottom - target.top);
  gp::GdipDeleteGraphics(graphics);
}

CMyMemDC::CMyMemDC(HDC target, const RECT& area)
    : target_(target),
      area_(area),
      dc_(CreateCompatibleDC(target)),
      bitmap_(CreateCompatibleBitmap(target, area.right - area.left, area.bottom - area.top)),
      displaced_(SelectObject(dc_, bitmap_)) {
  SetWindowOrgEx(dc_, area.left, area.top, nullptr);
}

CMyMemDC::~CMyMemDC() {
  SetWindowOrgEx(dc_, 0, 0, nullptr);
  BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, dc_, 0,
         0, SRCCOPY);
  SelectObject(dc_, displaced_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

// ---------------------------------------------------------------------------------------

namespace {

constexpr UINT_PTR kButtonSubclass = 0x51424e;  // any id unique among this window's subclasses
constexpr wchar_t kButtonProperty[] = L"qorva.button";

}  // namespace

CGdipButton::~CGdipButton() {
  if (window_) {
    RemoveWindowSubclass(window_, SubclassProc, kButtonSubclass);
    RemovePropW(window_, kButtonProperty);
  }
  if (tooltip_) DestroyWindow(tooltip_);
  Drop(background_);
  for (HBITMAP& face : faces_) Drop(face);
}

void CGdipButton::Attach(HWND dialog, int id) {
  window_ = GetDlgItem(dialog, id);
  if (!window_) return;
  LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
  SetWindowLongPtrW(window_, GWL_STYLE,
                    (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
  SetPropW(window_, kButtonProperty, this);
  SetWindowSubclass(window_, SubclassProc, kButtonSubclass, reinterpret_cast<DWORD_PTR>(this));
}

CGdipButton* CGdipButton::FromWindow(HWND window) {
  return static_cast<CGdipButton*>(GetPropW(window, kButtonProperty));
}

void CGdipButton::Drop(HBITMAP& face) {
  if (face) DeleteObject(face);
  face = nullptr;
}

void CGdipButton::DropFacesOf(bool toggle) {
  static constexpr ButtonFace kNormalFaces[] = {ButtonFace::kNormal, ButtonFace::kNormalPressed,
                                                ButtonFace::kNormalHover};
  static constexpr ButtonFace kToggleFaces[] = {ButtonFace::kToggle, ButtonFace::kTogglePressed,
                                                ButtonFace::kToggleHover};
  Drop(background_);
  Drop(FaceOf(ButtonFace::kGrey));
  for (ButtonFace face : toggle ? kToggleFaces : kNormalFaces) Drop(FaceOf(face));
  currentFace_ = nullptr;
}

void CGdipButton::LoadNormalImage(TextView path) {
  DropFacesOf(false);
  faceCacheBuilt_ = false;
  normalImage_ = LoadGdipImage(path);
  UINT width = 0;
  UINT height = 0;
  if (normalImage_) {
    gp::GdipGetImageWidth(normalImage_.get(), &width);
    gp::GdipGetImageHeight(normalImage_.get(), &height);
  }
  imageWidth_ = static_cast<int>(width);
  imageHeight_ = static_cast<int>(height);
  Invalidate();
}

void CGdipButton::LoadToggleImage(TextView path) {
  DropFacesOf(true);
  hasToggleImage_ = true;
  toggleImage_ = LoadGdipImage(path);
  Invalidate();
}

void CGdipButton::SetShowToggle(int showToggle) {
  showToggle_ = showToggle;
  Invalidate();
}

void CGdipButton::SetDisabled(bool disabled) {
  isDisabled_ = disabled;
  Invalidate();
}

void CGdipButton::Invalidate() {
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void CGdipButton::SetTooltipText(TextView text, bool activate) {
  if (text.empty() || !window_) return;
  if (!tooltip_) {
    tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               nullptr, nullptr);
    if (!tooltip_) return;
    SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
  }
  tooltipText_ = Wide(text);
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window_;
  tool.uId = 1;
  tool.lpszText = tooltipText_.data();
  GetClientRect(window_, &tool.rect);
  if (!toolAdded_) {
    tool.uFlags = TTF_SUBCLASS;
    toolAdded_ = SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
  }
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 2000);
  SendMessageW(tooltip_, TTM_ACTIVATE, activate ? TRUE : FALSE, 0);
}

HBITMAP CGdipButton::BuildFace(Gdiplus::GpImage* image, int offset, const ColorMatrix* matrix) {
  RECT client;
  GetClientRect(window_, &client);
  HDC screen = GetDC(window_);
  HDC source = CreateCompatibleDC(screen);
  HDC target = CreateCompatibleDC(screen);
  HBITMAP face = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ oldSource = SelectObject(source, background_);
  HGDIOBJ oldTarget = SelectObject(target, face);
  BitBlt(target, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
  Gdiplus::GpGraphics* graphics = nullptr;
  if (image && gp::GdipCreateFromHDC(target, &graphics) == Gdiplus::Ok) {
    Gdiplus::GpImageAttributes* attributes = nullptr;
    if (matrix) {
      Gdiplus::ColorMatrix colors;
      for (size_t row = 0; row < 5; ++row) {
        for (size_t column = 0; column < 5; ++column)
          colors.m[row][column] = (*matrix)[row][column];
      }
      gp::GdipCreateImageAttributes(&attributes);
      gp::GdipSetImageAttributesColorMatrix(attributes, Gdiplus::ColorAdjustTypeDefault, TRUE,
                                            &colors, nullptr, Gdiplus::ColorMatrixFlagsDefault);
    }
    UINT width = 0;
    UINT height = 0;
    gp::GdipGetImageWidth(image, &width);
    gp::GdipGetImageHeight(image, &height);
    const INT w = static_cast<INT>(width);
    const INT h = static_cast<INT>(height);
    // Drawn at the picture's own size, never stretched.
    gp::GdipDrawImageRectRectI(graphics, image, offset, offset, w, h, 0, 0, w, h,
                               Gdiplus::UnitPixel, attributes, nullptr, nullptr);
    if (attributes) gp::GdipDisposeImageAttributes(attributes);
    gp::GdipDeleteGraphics(graphics);
  }
  SelectObject(source, oldSource);
  SelectObject(target, oldTarget);
  DeleteDC(source);
  DeleteDC(target);
  ReleaseDC(window_, screen);
  return face;
}

void CGdipButton::BuildFaces() {
  if (!background_) {
    // What the parent shows under the button, so transparent pixels blend with it.
    HWND parent = GetParent(window_);
    RECT client;
    GetClientRect(window_, &client);
    RECT place;
    GetWindowRect(window_, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    HDC parentDc = GetDC(parent);
    HDC copy = CreateCompatibleDC(parentDc);
    background_ = CreateCompatibleBitmap(parentDc, client.right, client.bottom);
    HGDIOBJ old = SelectObject(copy, background_);
    BitBlt(copy, 0, 0, client.right, client.bottom, parentDc, place.left, place.top, SRCCOPY);
    SelectObject(copy, old);
    DeleteDC(copy);
    ReleaseDC(parent, parentDc);
  }
  struct Recipe {
    ButtonFace face;
    bool toggle;
    int offset;
    const ColorMatrix* matrix;
  };
  const Recipe recipes[] = {
      {ButtonFace::kNormal, false, 0, nullptr},
      {ButtonFace::kNormalPressed, false, FaceOffset(ButtonFace::kNormalPressed), nullptr},
      {ButtonFace::kNormalHover, false, 0, &kHoverMatrix},
      {ButtonFace::kGrey, false, 0, &kGreyMatrix},
      {ButtonFace::kToggle, true, 0, nullptr},
      {ButtonFace::kTogglePressed, true, FaceOffset(ButtonFace::kTogglePressed), nullptr},
      {ButtonFace::kToggleHover, true, 0, &kHoverMatrix},
  };
  for (const Recipe& recipe : recipes) {
    HBITMAP& face = FaceOf(recipe.face);
    if (face || (recipe.toggle && !hasToggleImage_)) continue;
    Gdiplus::GpImage* image = recipe.toggle ? toggleImage_.get() : normalImage_.get();
    face = BuildFace(image, recipe.offset, recipe.matrix);
  }
  faceCacheBuilt_ = true;
}

void CGdipButton::Draw(const DRAWITEMSTRUCT& item) {
  if (!faceCacheBuilt_ || !background_ || !FaceOf(ButtonFace::kGrey)) BuildFaces();
  ButtonState state;
  state.disabled = isDisabled_;
  state.pressed = (item.itemState & ODS_SELECTED) != 0;
  state.hovering = isHovering_;
  state.showToggle = hasToggleImage_ ? showToggle_ : 0;
  currentFace_ = FaceOf(ChooseFace(state));
  if (!currentFace_) return;
  HDC source = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(source, currentFace_);
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
         item.rcItem.bottom - item.rcItem.top, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

LRESULT CALLBACK CGdipButton::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self) {
  auto* button = reinterpret_cast<CGdipButton*>(self);
  if (button->tooltip_ && message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
    MSG relayed{window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    SendMessageW(button->tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
  }
  return button->OnMessage(message, wParam, lParam);
}

LRESULT CGdipButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      if (!isTracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | TME_HOVER, window_, 1};
        isTracking_ = TrackMouseEvent(&track) != FALSE;
      }
      break;
    case WM_MOUSEHOVER:
      isHovering_ = true;
      Invalidate();
      if (!tooltipText_.empty()) {
        std::wstring text = tooltipText_;
        SetTooltipText(FromWide(text), true);
        SendMessageW(tooltip_, TTM_UPDATE, 0, 0);
      }
      return 0;
    case WM_MOUSELEAVE:
      isTracking_ = false;
      isHovering_ = false;
      Invalidate();
      return 0;
    case WM_LBUTTONDBLCLK:
      // A quick second click is a click, not a double click the dialog would ignore.
      return DefSubclassProc(window_, WM_LBUTTONDOWN, wParam, lParam);
    case WM_KEYUP:
      if (wParam == VK_SPACE) return 0;
      break;
    case WM_ERASEBKGND:
      if (normalImage_) return 1;
      break;
    default:
      break;
  }
  return DefSubclassProc(window_, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------

void CPictureCtrl::Attach(HWND dialog, int id) {
  window_ = GetDlgItem(dialog, id);
  if (!window_) return;
  LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
  SetWindowLongPtrW(window_, GWL_STYLE,
                    (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | SS_OWNERDRAW);
}

bool CPictureCtrl::LoadFromFile(TextView path) {
  imageStream_ = nullptr;
  isLoaded_ = false;
  imageStream_ = ReadFileStream(path);
  if (!imageStream_) return false;
  isLoaded_ = true;
  if (window_) RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
  return true;
}

void CPictureCtrl::Draw(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  if (!isLoaded_) return;
  LARGE_INTEGER start{};
  imageStream_->Seek(start, STREAM_SEEK_SET, nullptr);
  GdipImage image = DecodeStream(imageStream_.Get());
  DrawStretched(item.hDC, image.get(), item.rcItem, true);
}

}  // namespace qorva
