#include "images/button_faces.h"

#include <algorithm>
#include <cmath>

namespace qorva {

namespace {

constexpr float kHoverScale = 1.05f;
constexpr float kHoverOffset = 0.05f;
constexpr float kRedWeight = 0.3f;
constexpr float kGreenWeight = 0.59f;
constexpr float kBlueWeight = 0.11f;

uint8_t ToComponent(float scaled) {
  return static_cast<uint8_t>(std::lround(std::clamp(scaled, 0.0f, 1.0f) * 255.0f));
}

float Scaled(uint8_t component) { return static_cast<float>(component) / 255.0f; }

}  // namespace

// clang-format off
const ColorMatrix kHoverMatrix = {{
    {kHoverScale, 0, 0, 0, 0},
    {0, kHoverScale, 0, 0, 0},
    {0, 0, kHoverScale, 0, 0},
    {0, 0, 0, 1, 0},
    {kHoverOffset, kHoverOffset, kHoverOffset, 0, 1}}};
const ColorMatrix kGreyMatrix = {{
    {kRedWeight, kRedWeight, kRedWeight, 0, 0},
    {kGreenWeight, kGreenWeight, kGreenWeight, 0, 0},
    {kBlueWeight, kBlueWeight, kBlueWeight, 0, 0},
    {0, 0, 0, 1, 0},
    {0, 0, 0, 0, 1}}};
// clang-format on

namespace {

// The row-vector product the drawing library applies, on the 0 to 1 scale.
FacePixel Apply(const ColorMatrix& m, FacePixel pixel) {
  const float in[4] = {Scaled(pixel.r), Scaled(pixel.g), Scaled(pixel.b), Scaled(pixel.a)};
  float out[4];
  for (int column = 0; column < 4; ++column) {
    out[column] = m[4][column];
    for (int row = 0; row < 4; ++row) out[column] += in[row] * m[row][column];
  }
  return {ToComponent(out[0]), ToComponent(out[1]), ToComponent(out[2]), ToComponent(out[3])};
}

}  // namespace

FacePixel HoverPixel(FacePixel pixel) { return Apply(kHoverMatrix, pixel); }
FacePixel GreyPixel(FacePixel pixel) { return Apply(kGreyMatrix, pixel); }

ButtonFace ChooseFace(const ButtonState& state) {
  const bool toggle = state.showToggle != 0;
  if (state.disabled) return ButtonFace::kGrey;
  if (state.pressed) return toggle ? ButtonFace::kTogglePressed : ButtonFace::kNormalPressed;
  if (state.hovering) return toggle ? ButtonFace::kToggleHover : ButtonFace::kNormalHover;
  return toggle ? ButtonFace::kToggle : ButtonFace::kNormal;
}

}  // namespace qorva
