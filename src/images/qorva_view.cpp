#include "images/qorva_view.h"

#include <utility>

#include "graphics/bitmap_filters.h"
#include "support/image_files.h"
#include "support/working_folder.h"

namespace qorva {

const ColorMatrix kGrayMatrix = {{{0.3086f, 0.3086f, 0.3086f, 0, 0},
                                  {0.6094f, 0.6094f, 0.6094f, 0, 0},
                                  {0.0820f, 0.0820f, 0.0820f, 0, 0},
                                  {0, 0, 0, 1, 0},
                                  {0, 0, 0, 0, 1}}};
const ColorMatrix kInvertMatrix = {
    {{-1, 0, 0, 0, 0}, {0, -1, 0, 0, 0}, {0, 0, -1, 0, 0}, {0, 0, 0, 1, 0}, {1, 1, 1, 0, 1}}};
const ColorMatrix kSepiaMatrix = {{{0.393f, 0.349f, 0.272f, 0, 0},
                                   {0.769f, 0.686f, 0.534f, 0, 0},
                                   {0.189f, 0.168f, 0.131f, 0, 0},
                                   {0, 0, 0, 1, 0},
                                   {0, 0, 0, 0, 1}}};

ColorMatrix BrightnessMatrix(float shift) {
  ColorMatrix matrix = kIdentityColorMatrix;
  for (int j = 0; j < 3; ++j) matrix[4][j] = shift;
  return matrix;
}

void CQorvaView::LoadImageFile(TextView path) {
  imagePath_ = Text(path);
  image_.reset();
  brightnessShift_ = 0.0f;
  imageLoaded_ = true;
  ImageDecodeResult decoded = qorva::LoadImageFile(codec_, path);
  if (!decoded.image) return;
  // The operations work on direct colours; a palette picture is widened once here.
  if (decoded.image->format() == PixelFormat::kIndexed8) {
    image_ = decoded.image->ConvertedTo(PixelFormat::kArgb32);
    return;
  }
  image_ = std::move(decoded.image);
}

void CQorvaView::RotateRight() {
  if (!Editable()) return;
  if (std::optional<Bitmap> turned = Turned(*image_, Turn::kClockwise)) image_ = std::move(turned);
}

void CQorvaView::RotateLeft() {
  if (!Editable()) return;
  if (std::optional<Bitmap> turned = Turned(*image_, Turn::kCounterClockwise)) {
    image_ = std::move(turned);
  }
}

void CQorvaView::MirrorLeftRight() {
  if (Editable()) qorva::MirrorLeftRight(*image_);
}

void CQorvaView::MirrorUpDown() {
  if (Editable()) qorva::MirrorUpDown(*image_);
}

void CQorvaView::ApplyMatrix(const ColorMatrix& matrix) {
  if (Editable()) DrawColorMatrixOver(*image_, matrix);
}

void CQorvaView::ApplyGray() { ApplyMatrix(kGrayMatrix); }
void CQorvaView::ApplyInvert() { ApplyMatrix(kInvertMatrix); }
void CQorvaView::ApplySepia() { ApplyMatrix(kSepiaMatrix); }

void CQorvaView::Shift(float step) {
  if (!Editable()) return;
  brightnessShift_ += step;
  ApplyMatrix(BrightnessMatrix(brightnessShift_));
}

void CQorvaView::Darken() { Shift(-kBrightnessStep); }
void CQorvaView::Brighten() { Shift(kBrightnessStep); }

void CQorvaView::ResizeImage(int32_t width, int32_t height) {
  if (!Editable() || !Bitmap::SizeAllowed(width, height)) return;
  if (std::optional<Bitmap> resized = ResizedOntoWhite(*image_, width, height)) {
    image_ = std::move(resized);
  }
}

Text CQorvaView::ExportJpeg() {
  if (!imageLoaded_) return {};
  Text path = WorkingFolderPath(kWorkingFolderName) + NewUniqueName(system_) + u".jpg";
  // A canvas whose file did not decode has nothing to write: the path names no file.
  if (!image_) return path;
  std::optional<Bitmap> flat = FlattenedOntoWhite(*image_);
  if (flat) SaveImageFile(codec_, u"jpg", path, kRotateNoneFlipX, *flat, kExportJpegQuality);
  return path;
}

CQorvaView::Size CQorvaView::ImageSize() const {
  if (!image_) return {};
  return {image_->width(), image_->height()};
}

}  // namespace qorva
