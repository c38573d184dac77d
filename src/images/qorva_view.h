// The photo editor's canvas: the one picture being edited and the operations its
// toolbar applies to the whole of it. Painting it is the view's matter; this holds the
// picture a view paints (at natural size from its top-left corner).
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"
#include "graphics/bitmap.h"
#include "graphics/bitmap_drawing.h"

namespace qorva {

class ImageCodec;
class System;

// The colour matrices of the toolbar's colour operations, in the row-vector form.
extern const ColorMatrix kGrayMatrix;
extern const ColorMatrix kInvertMatrix;
extern const ColorMatrix kSepiaMatrix;
// Adds `shift` (on the 0..1 scale) to red, green and blue.
ColorMatrix BrightnessMatrix(float shift);

// How much one darken or brighten press moves the accumulated shift.
inline constexpr float kBrightnessStep = 0.02f;
// The quality pictures leave the editor with.
inline constexpr int32_t kExportJpegQuality = 100;

class CQorvaView {
 public:
  CQorvaView(const ImageCodec& codec, System& system) : codec_(codec), system_(system) {}

  // Replaces the picture with the file at `path`. A file that does not decode leaves no
  // picture, but the canvas counts as loaded all the same.
  void LoadImageFile(TextView path);

  // The operations below do nothing before the first load, nor without a picture.
  void RotateRight();
  void RotateLeft();
  void MirrorLeftRight();
  void MirrorUpDown();
  void ApplyGray();
  void ApplyInvert();
  void ApplySepia();
  // Each press moves the shift by one step and applies the whole new shift to the
  // picture as it stands, so repeated presses accelerate.
  void Darken();
  void Brighten();
  // Scales the picture onto white at `width` by `height`; a size a bitmap may not have
  // (below 1, or past the limits) leaves the picture as it is.
  void ResizeImage(int32_t width, int32_t height);

  // Writes the picture on white as a JPEG in the working folder and returns its path,
  // also when writing failed (the caller checks that the file exists); "" before the
  // first load.
  Text ExportJpeg();

  struct Size {
    int32_t width = 0;
    int32_t height = 0;
  };
  // {0, 0} without a picture.
  Size ImageSize() const;

  // The picture to paint; null without one.
  const Bitmap* image() const { return image_ ? &*image_ : nullptr; }
  bool imageLoaded() const { return imageLoaded_; }
  float brightnessShift() const { return brightnessShift_; }
  const Text& imagePath() const { return imagePath_; }

 private:
  bool Editable() const { return imageLoaded_ && image_.has_value(); }
  void ApplyMatrix(const ColorMatrix& matrix);
  void Shift(float step);

  const ImageCodec& codec_;
  System& system_;
  std::optional<Bitmap> image_;
  Text imagePath_;
  bool imageLoaded_ = false;
  float brightnessShift_ = 0.0f;
};

}  // namespace qorva
