// The widgets the skinned dialogs are built from: a push button whose faces are
// pictures, a static control showing one picture file, and an off-screen drawing surface.
// Drawing goes through GDI+'s flat interface.
#pragma once

#include <objidl.h>
#include <windows.h>

#include <memory>
#include <string>

#include "base/text.h"
#include "images/button_faces.h"
#include "win32/com_ptr.h"

namespace Gdiplus {
class GpImage;
}

namespace qorva {

// GDI+ must be started before its first call and shut down after its last one.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

struct GdipImageDeleter {
  void operator()(Gdiplus::GpImage* image) const;
};
using GdipImage = std::unique_ptr<Gdiplus::GpImage, GdipImageDeleter>;

// Decodes a picture file; none when it does not decode.
GdipImage LoadGdipImage(TextView path);
// Draws `image` stretched over `target`; `smooth` picks high-quality filtering.
void DrawStretched(HDC dc, Gdiplus::GpImage* image, const RECT& target, bool smooth);

// Paints into an off-screen bitmap of `area`'s size; the destructor copies the result to
// the target in one go, so a paint never flickers.
class CMyMemDC {
 public:
  CMyMemDC(HDC target, const RECT& area);
  ~CMyMemDC();
  CMyMemDC(const CMyMemDC&) = delete;
  CMyMemDC& operator=(const CMyMemDC&) = delete;
  // The off-screen surface; its origin is the area's top-left corner.
  HDC dc() const { return dc_; }

 private:
  HDC target_;
  RECT area_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ displaced_;
};

// An owner-drawn push button showing a picture: a normal one and optionally a toggle
// one, each with a pressed and a hover face, and a grey face when disabled. The faces are
// built once, on the first paint, over the pixels of the parent under the button.
class CGdipButton {
 public:
  CGdipButton() = default;
  ~CGdipButton();
  CGdipButton(const CGdipButton&) = delete;
  CGdipButton& operator=(const CGdipButton&) = delete;

  // Takes over the dialog item `id` of `dialog`.
  void Attach(HWND dialog, int id);
  HWND window() const { return window_; }

  void LoadNormalImage(TextView path);
  void LoadToggleImage(TextView path);
  void SetTooltipText(TextView text, bool activate);

  // The normal picture's own size; 0 x 0 without one.
  int imageWidth() const { return imageWidth_; }
  int imageHeight() const { return imageHeight_; }

  int showToggle() const { return showToggle_; }
  void SetShowToggle(int showToggle);
  void SetDisabled(bool disabled);

  // The parent's WM_DRAWITEM for this button.
  void Draw(const DRAWITEMSTRUCT& item);
  // The button attached to `window`, if any.
  static CGdipButton* FromWindow(HWND window);

 private:
  // Loading a picture drops the background, the grey face, that picture's three faces
  // and the face last drawn.
  void DropFacesOf(bool toggle);
  static void Drop(HBITMAP& face);
  HBITMAP& FaceOf(ButtonFace face) { return faces_[static_cast<size_t>(face)]; }
  void BuildFaces();
  HBITMAP BuildFace(Gdiplus::GpImage* image, int offset, const ColorMatrix* matrix);
  void Invalidate();
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);

  HWND window_ = nullptr;
  bool hasToggleImage_ = false;
  bool faceCacheBuilt_ = false;
  bool isDisabled_ = false;
  bool isHovering_ = false;
  bool isTracking_ = false;
  int showToggle_ = 0;
  GdipImage toggleImage_;
  GdipImage normalImage_;
  std::wstring tooltipText_;
  HWND tooltip_ = nullptr;
  bool toolAdded_ = false;
  HBITMAP background_ = nullptr;  // the parent's pixels under the button
  HBITMAP faces_[static_cast<size_t>(ButtonFace::kGrey) + 1] = {};
  HBITMAP currentFace_ = nullptr;
  int imageWidth_ = 0;
  int imageHeight_ = 0;
};

// A static control that shows one picture file stretched over its area. The file's bytes
// are kept, so the file may go away after loading.
class CPictureCtrl {
 public:
  void Attach(HWND dialog, int id);
  // False when the file cannot be read; the control then draws its ordinary look.
  bool LoadFromFile(TextView path);
  // The parent's WM_DRAWITEM for this control.
  void Draw(const DRAWITEMSTRUCT& item);
  HWND window() const { return window_; }

 private:
  HWND window_ = nullptr;
  ComPtr<IStream> imageStream_;
  bool isLoaded_ = false;
};

}  // namespace qorva
