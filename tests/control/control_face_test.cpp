#include <gtest/gtest.h>

#include "control_scene.h"

namespace qorva {
namespace {

bool AllWhite(const Bitmap& face) {
  for (int32_t y = 0; y < face.height(); ++y) {
    for (int32_t x = 0; x < face.width(); ++x) {
      if (face.PixelAt(x, y) != MakeArgb(255, 255, 255, 255)) return false;
    }
  }
  return true;
}

TEST(ControlFace, TheLogoShowsOnlyAboveAHundredPixels) {
  ControlScene scene;
  std::optional<Bitmap> small = scene.control.RenderFace(100, 100);
  ASSERT_TRUE(small);
  EXPECT_TRUE(AllWhite(*small));
  EXPECT_FALSE(scene.control.logoImage);  // not loaded for a face without it

  std::optional<Bitmap> large = scene.control.RenderFace(101, 101);
  ASSERT_TRUE(large);
  EXPECT_FALSE(AllWhite(*large));
  ASSERT_TRUE(scene.control.logoImage);
  EXPECT_EQ(scene.control.logoImage->width(), 92);
  EXPECT_EQ(scene.control.logoImage->height(), 96);
  // Outside the logo's 92 by 96 box in the middle the face stays white.
  EXPECT_EQ(large->PixelAt(2, 50), MakeArgb(255, 255, 255, 255));
  EXPECT_EQ(large->PixelAt(50, 1), MakeArgb(255, 255, 255, 255));

  scene.control.OnWindowDestroyed();
  EXPECT_FALSE(scene.control.logoImage);
}

}  // namespace
}  // namespace qorva
