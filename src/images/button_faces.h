// The looks of a skinned push button: the colour rules of its hover and grey faces and
// which of its cached faces shows in a given state.
#pragma once

#include <cstdint>

#include "graphics/bitmap_drawing.h"

namespace qorva {

struct FacePixel {
  uint8_t r, g, b, a;
  bool operator==(const FacePixel&) const = default;
};

// Each colour becomes min(255, 1.05 c + 12.75), rounded; alpha is kept.
FacePixel HoverPixel(FacePixel pixel);
// Each colour becomes 0.3 R + 0.59 G + 0.11 B, rounded; alpha is kept.
FacePixel GreyPixel(FacePixel pixel);

// The two rules as colour matrices, in the row-vector form the drawing code and the
// platform's imaging library both take.
extern const ColorMatrix kHoverMatrix;
extern const ColorMatrix kGreyMatrix;

enum class ButtonFace {
  kNormal,
  kNormalPressed,
  kNormalHover,
  kToggle,
  kTogglePressed,
  kToggleHover,
  kGrey,
};

struct ButtonState {
  bool disabled = false;
  bool pressed = false;
  bool hovering = false;
  int showToggle = 0;  // not 0: the toggle picture's faces
};
ButtonFace ChooseFace(const ButtonState& state);

// Where a face's picture is drawn on the captured background: one pixel down and right
// when pressed.
inline int32_t FaceOffset(ButtonFace face) {
  return face == ButtonFace::kNormalPressed || face == ButtonFace::kTogglePressed ? 1 : 0;
}

}  // namespace qorva
