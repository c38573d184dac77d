#include "images/button_faces.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace qorva {
namespace {

TEST(ButtonFaces, LightenAndGreyPixelsByTheirMatrices) {
  struct Case {
    const char* name;
    FacePixel in, hover, grey;
  };
  const Case cases[] = {
      {"white", {255, 255, 255, 255}, {255, 255, 255, 255}, {255, 255, 255, 255}},
      {"black", {0, 0, 0, 255}, {13, 13, 13, 255}, {0, 0, 0, 255}},
      {"red", {255, 0, 0, 200}, {255, 13, 13, 200}, {77, 77, 77, 200}},
      {"green", {0, 255, 0, 255}, {13, 255, 13, 255}, {150, 150, 150, 255}},
      {"blue", {0, 0, 255, 0}, {13, 13, 255, 0}, {28, 28, 28, 0}},
      {"mid grey", {100, 100, 100, 255}, {118, 118, 118, 255}, {100, 100, 100, 255}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HoverPixel(c.in), c.hover) << c.name;
    EXPECT_EQ(GreyPixel(c.in), c.grey) << c.name;
  }
}

TEST(ButtonFaces, ChoosesDisabledThenPressedThenHover) {
  struct Case {
    ButtonState state;
    ButtonFace face;
  };
  const Case cases[] = {
      {{true, true, true, 1}, ButtonFace::kGrey},
      {{false, true, true, 0}, ButtonFace::kNormalPressed},
      {{false, true, false, 1}, ButtonFace::kTogglePressed},
      {{false, false, true, 0}, ButtonFace::kNormalHover},
      {{false, false, true, 2}, ButtonFace::kToggleHover},
      {{false, false, false, 0}, ButtonFace::kNormal},
      {{false, false, false, -1}, ButtonFace::kToggle},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(ChooseFace(cases[i].state), cases[i].face) << "case " << i;
  }
  EXPECT_EQ(FaceOffset(ButtonFace::kTogglePressed), 1);
  EXPECT_EQ(FaceOffset(ButtonFace::kNormalHover), 0);
}

}  // namespace
}  // namespace qorva
