#include "win32/win32_photo_editor.h"

#include <commctrl.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "images/photo_edit_dialog.h"
#include "win32/dib_info.h"
#include "win32/own_module.h"
#include "win32/wide_text.h"
#include "win32/win32_dialog_ids.h"
#include "win32/win32_skin_widgets.h"

namespace qorva {

namespace {

namespace gp = Gdiplus::DllExports;

constexpr wchar_t kCanvasClass[] = L"QorvaPhotoCanvas";

// The picture being edited, at its own size from the top-left corner over a grey ground,
// with scroll bars when it is larger than the window. Pixels are kept as 24-bit rows
// ready for the screen, so a paint is one copy.
class CanvasWindow {
 public:
  static HWND Create(HWND parent, CanvasWindow* canvas);

  void SetImage(const Bitmap* image);
  // Called with the pointer's place over the picture.
  void SetPointerListener(std::function<void(int32_t, int32_t)> listener) {
    onPointer_ = std::move(listener);
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc);
  void UpdateScrollBars();
  void Scroll(int bar, WPARAM request);

  HWND window_ = nullptr;
  std::vector<uint8_t> rows_;  // bottom-up is avoided: rows top first, stride `stride_`
  int32_t width_ = 0;
  int32_t height_ = 0;
  size_t stride_ = 0;
  int scrollX_ = 0;
  int scrollY_ = 0;
  std::function<void(int32_t, int32_t)> onPointer_;
};

constexpr Argb kGround = kCanvasBackground;

HWND CanvasWindow::Create(HWND parent, CanvasWindow* canvas) {
  static const bool registered = [] {
    WNDCLASSW type{};
    type.lpfnWndProc = WindowProc;
    type.hInstance = OwnModule();
    type.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    type.lpszClassName = kCanvasClass;
    return RegisterClassW(&type) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) return nullptr;
  return CreateWindowExW(
      0, kCanvasClass, nullptr, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP,
      kCanvasX, kCanvasY, kCanvasWidth, kCanvasHeight, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPhotoCanvas)), OwnModule(), canvas);
}

void CanvasWindow::SetImage(const Bitmap* image) {
  width_ = image ? image->width() : 0;
  height_ = image ? image->height() : 0;
  stride_ = (static_cast<size_t>(width_) * 3 + 3) & ~size_t{3};
  rows_.assign(stride_ * static_cast<size_t>(height_), 0);
  for (int32_t y = 0; y < height_; ++y) {
    uint8_t* row = rows_.data() + stride_ * static_cast<size_t>(y);
    if (image->format() == PixelFormat::kRgb24) {
      std::copy_n(image->Row(y), static_cast<size_t>(width_) * 3, row);
      continue;
    }
    // Transparent parts show the ground, as the export puts them onto white.
    for (int32_t x = 0; x < width_; ++x) {
      const Argb pixel = image->PixelAt(x, y);
      const unsigned alpha = AlphaOf(pixel);
      auto blend = [alpha](uint8_t top, uint8_t under) {
        return static_cast<uint8_t>((top * alpha + under * (255 - alpha) + 127) / 255);
      };
      row[x * 3] = blend(BlueOf(pixel), BlueOf(kGround));
      row[x * 3 + 1] = blend(GreenOf(pixel), GreenOf(kGround));
      row[x * 3 + 2] = blend(RedOf(pixel), RedOf(kGround));
    }
  }
  scrollX_ = 0;
  scrollY_ = 0;
  UpdateScrollBars();
  InvalidateRect(window_, nullptr, FALSE);
  SetFocus(window_);
}

void CanvasWindow::UpdateScrollBars() {
  RECT client;
  GetClientRect(window_, &client);
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  info.nMax = width_ > 0 ? width_ - 1 : 0;
  info.nPage = static_cast<UINT>(client.right);
  info.nPos = scrollX_;
  SetScrollInfo(window_, SB_HORZ, &info, TRUE);
  info.nMax = height_ > 0 ? height_ - 1 : 0;
  info.nPage = static_cast<UINT>(client.bottom);
  info.nPos = scrollY_;
  SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

void CanvasWindow::Scroll(int bar, WPARAM request) {
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(window_, bar, &info);
  int position = info.nPos;
  switch (LOWORD(request)) {
    case SB_LINEUP:
      position -= 16;
      break;
    case SB_LINEDOWN:
      position += 16;
      break;
    case SB_PAGEUP:
      position -= static_cast<int>(info.nPage);
      break;
    case SB_PAGEDOWN:
      position += static_cast<int>(info.nPage);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      position = info.nTrackPos;
      break;
    default:
      break;
  }
  const int highest = max(0, info.nMax - static_cast<int>(info.nPage) + 1);
  position = std::clamp(position, 0, highest);
  (bar == SB_HORZ ? scrollX_ : scrollY_) = position;
  info.fMask = SIF_POS;
  info.nPos = position;
  SetScrollInfo(window_, bar, &info, TRUE);
  InvalidateRect(window_, nullptr, FALSE);
}

void CanvasWindow::Paint(HDC target) {
  RECT client;
  GetClientRect(window_, &client);
  CMyMemDC memory(target, client);
  HBRUSH ground = CreateSolidBrush(RGB(RedOf(kGround), GreenOf(kGround), BlueOf(kGround)));
  FillRect(memory.dc(), &client, ground);
  DeleteObject(ground);
  if (width_ > 0 && height_ > 0) {
    BITMAPINFO info = TopDownRgb24Info(width_, height_);
    SetDIBitsToDevice(memory.dc(), -scrollX_, -scrollY_, static_cast<DWORD>(width_),
                      static_cast<DWORD>(height_), 0, 0, 0, static_cast<UINT>(height_),
                      rows_.data(), &info, DIB_RGB_COLORS);
  }
}

LRESULT CALLBACK CanvasWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* canvas =
        static_cast<CanvasWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    canvas->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(canvas));
  }
  auto* canvas = reinterpret_cast<CanvasWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!canvas) return DefWindowProcW(window, message, wParam, lParam);
  return canvas->OnMessage(message, wParam, lParam);
}

LRESULT CanvasWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      Paint(dc);
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_SIZE:
      UpdateScrollBars();
      return 0;
    case WM_HSCROLL:
      Scroll(SB_HORZ, wParam);
      return 0;
    case WM_VSCROLL:
      Scroll(SB_VERT, wParam);
      return 0;
    case WM_MOUSEMOVE:
      if (onPointer_) {
        onPointer_(static_cast<int16_t>(LOWORD(lParam)) + scrollX_,
                   static_cast<int16_t>(HIWORD(lParam)) + scrollY_);
      }
      return 0;
    case WM_GETDLGCODE:
      // Enter and Escape stay the dialog's.
      return DLGC_WANTARROWS;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

// One run of the editor: the view its presenter drives.
class PhotoEditorHost final : public DialogView {
 public:
  PhotoEditorHost(DialogPresenter& presenter, const Win32DialogContext& context, HWND* modal)
      : presenter_(presenter), context_(context), modal_(modal) {}

  void SetText(int32_t, TextView) override {}
  Text GetText(int32_t) override { return {}; }
  void SetListItems(int32_t, std::span<const TextView>) override {}
  void SelectListItem(int32_t, int32_t) override {}
  void SetChecked(int32_t, bool) override {}
  bool IsChecked(int32_t) override { return false; }
  void SetSpinPosition(int32_t, int32_t) override {}
  void EndDialog(bool ok) override {
    ended_ = true;
    ok_ = ok;
    ::EndDialog(window_, ok ? IDOK : IDCANCEL);
  }
  void EnableItem(int32_t id, bool enabled) override;
  void ShowItem(int32_t id, bool shown) override {
    ShowWindow(GetDlgItem(window_, id), shown ? SW_SHOW : SW_HIDE);
  }
  void SetTooltip(int32_t id, TextView text) override;
  void ShowImage(int32_t id, const Bitmap* image) override {
    if (id == kPhotoCanvas) canvas_.SetImage(image);
  }

  bool Run();

 private:
  void Open(HWND window);
  void Paint(HDC target);
  void SetStatus(Text text);
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  DialogPresenter& presenter_;
  const Win32DialogContext& context_;
  HWND* modal_;
  HWND window_ = nullptr;
  std::map<int32_t, std::unique_ptr<CGdipButton>> buttons_;
  struct Decoration {
    GdipImage image;
    int32_t x, y;
  };
  std::vector<Decoration> decorations_;
  COLORREF bandColour_ = RGB(54, 92, 150);
  CanvasWindow canvas_;
  std::wstring statusText_;
  bool ended_ = false;
  bool ok_ = false;
};

void PhotoEditorHost::EnableItem(int32_t id, bool enabled) {
  auto button = buttons_.find(id);
  if (button != buttons_.end()) {
    // An inactive tool shows its grey face with neither picture set chosen.
    button->second->SetShowToggle(enabled ? 0 : 2);
    button->second->SetDisabled(!enabled);
  }
  EnableWindow(GetDlgItem(window_, id), enabled ? TRUE : FALSE);
}

void PhotoEditorHost::SetTooltip(int32_t id, TextView text) {
  auto button = buttons_.find(id);
  if (button != buttons_.end()) button->second->SetTooltipText(text, true);
}

void PhotoEditorHost::Open(HWND window) {
  window_ = window;
  if (modal_) *modal_ = window;
  const int left = GetSystemMetrics(SM_CXSCREEN) / 2 - kPhotoEditWidth / 2;
  const int top = GetSystemMetrics(SM_CYSCREEN) / 2 - kPhotoEditHeight / 2;
  SetWindowPos(window, nullptr, left, top, kPhotoEditWidth, kPhotoEditHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (GdipImage band = LoadGdipImage(context_.skinFolder + Text(kPhotoEditBandPicture))) {
    Gdiplus::ARGB corner = 0;
    if (gp::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(band.get()), 0, 0, &corner) ==
        Gdiplus::Ok) {
      bandColour_ = RGB(RedOf(corner), GreenOf(corner), BlueOf(corner));
    }
  }
  for (const PlacedPicture& placed : PhotoEditDecorations()) {
    decorations_.push_back(
        {LoadGdipImage(context_.skinFolder + Text(placed.picture)), placed.x, placed.y});
  }
  for (const PhotoEditButton& tool : PhotoEditButtons()) {
    auto button = std::make_unique<CGdipButton>();
    button->Attach(window, tool.id);
    button->LoadNormalImage(context_.skinFolder + Text(tool.picture));
    // Each button is as large as its picture.
    MoveWindow(button->window(), tool.x, tool.y, button->imageWidth(), button->imageHeight(),
               FALSE);
    buttons_[tool.id] = std::move(button);
  }
  CanvasWindow::Create(window, &canvas_);
  canvas_.SetPointerListener(
      [this](int32_t x, int32_t y) { SetStatus(PointerPositionText(x, y)); });
  presenter_.OnOpen(*this);
}

void PhotoEditorHost::SetStatus(Text text) {
  statusText_ = Wide(text);
  RECT client;
  GetClientRect(window_, &client);
  RECT status{7, client.bottom - 21, 200, client.bottom - 7};
  InvalidateRect(window_, &status, TRUE);
  UpdateWindow(window_);
}

void PhotoEditorHost::Paint(HDC target) {
  RECT client;
  GetClientRect(window_, &client);
  CMyMemDC memory(target, client);
  HDC dc = memory.dc();
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  HBRUSH band = CreateSolidBrush(bandColour_);
  RECT top{0, 0, client.right, kTopBandHeight};
  RECT bottom{0, client.bottom - kBottomBandHeight, client.right, client.bottom};
  FillRect(dc, &top, band);
  FillRect(dc, &bottom, band);
  DeleteObject(band);
  for (const Decoration& decoration : decorations_) {
    if (!decoration.image) continue;
    UINT width = 0;
    UINT height = 0;
    gp::GdipGetImageWidth(decoration.image.get(), &width);
    gp::GdipGetImageHeight(decoration.image.get(), &height);
    RECT place{decoration.x, decoration.y, decoration.x + static_cast<LONG>(width),
               decoration.y + static_cast<LONG>(height)};
    DrawStretched(dc, decoration.image.get(), place, false);
  }
  RECT status{7, client.bottom - 21, 200, client.bottom - 7};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0)));
  DrawTextW(dc, statusText_.c_str(), static_cast<int>(statusText_.size()), &status,
            DT_LEFT | DT_SINGLELINE | DT_VCENTER);
  SelectObject(dc, font);
}

INT_PTR CALLBACK PhotoEditorHost::DialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    reinterpret_cast<PhotoEditorHost*>(lParam)->Open(window);
    return FALSE;  // the canvas took the focus
  }
  auto* host = reinterpret_cast<PhotoEditorHost*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!host) return FALSE;
  switch (message) {
    case WM_ERASEBKGND:
      SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
      return TRUE;  // painting covers the background
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      host->Paint(dc);
      EndPaint(window, &paint);
      return TRUE;
    }
    case WM_DRAWITEM:
    case WM_LBUTTONDOWN:
      return OnSkinnedWindowMessage(window, message, lParam) ? TRUE : FALSE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK) {
        host->presenter_.OnOk(*host);
      } else if (id == IDCANCEL) {
        host->EndDialog(false);
      } else if (HIWORD(wParam) == BN_CLICKED && host->buttons_.count(id)) {
        host->presenter_.OnClicked(*host, id);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

bool PhotoEditorHost::Run() {
  const INT_PTR result =
      DialogBoxParamW(OwnModule(), MAKEINTRESOURCEW(IDD_PHOTO_EDITOR), context_.owner, DialogProc,
                      reinterpret_cast<LPARAM>(this));
  if (modal_) *modal_ = nullptr;
  return result == IDOK && ended_ && ok_;
}

}  // namespace

bool RunPhotoEditor(DialogPresenter& presenter, const Win32DialogContext& context, HWND* modal) {
  PhotoEditorHost host(presenter, context, modal);
  return host.Run();
}

}  // namespace qorva
