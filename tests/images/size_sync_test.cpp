#include "images/size_sync.h"

#include <gtest/gtest.h>

#include <limits>

#include "images/image_type_sheet.h"

namespace qorva {
namespace {

TEST(SizeSync, KeepsProportionsWithTheThirtyTwoBitRatioAndTruncates) {
  struct Case {
    int32_t width, height;  // the picture the ratio comes from
    int32_t typed;
    bool typedIsWidth;
    int32_t expected;
  };
  const Case cases[] = {
      {300, 200, 150, true, 100},
      {300, 200, 100, true, 66},
      // The float nearest 4/3 is a hair above it: 400 over it falls just short of 300.
      {800, 600, 400, true, 299},
      {800, 600, 200, false, 266},
      {800, 600, 0, true, 0},
  };
  for (const Case& c : cases) {
    float ratio = AspectRatioOf(c.width, c.height);
    int32_t other =
        c.typedIsWidth ? HeightForWidth(c.typed, ratio) : WidthForHeight(c.typed, ratio);
    EXPECT_EQ(other, c.expected) << c.width << "x" << c.height << " typed " << c.typed;
  }
  EXPECT_FLOAT_EQ(AspectRatioOf(300, 200), 1.5f);
  EXPECT_EQ(AspectRatioOf(800, 600), 1.33333337f);
}

TEST(SizeSync, HoldsResultsThatLeaveTheIntegerRange) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(HeightForWidth(kMax, AspectRatioOf(1, 4000)), kMax);
  EXPECT_EQ(WidthForHeight(kMax, 4000.0f), kMax);
  EXPECT_EQ(HeightForWidth(10, AspectRatioOf(0, 0)), 0);  // not a number
  EXPECT_EQ(HeightForWidth(10, AspectRatioOf(5, 0)), 0);  // infinite
  EXPECT_EQ(WidthForHeight(10, -1.0f), 0);
}

TEST(SizeSync, ReadsLeadingDigits) {
  const std::pair<TextView, int32_t> cases[] = {
      {u"", 0},
      {u"abc", 0},
      {u"12px", 12},
      {u" 12", 0},
      {u"-5", 0},
      {u"007", 7},
      {u"2147483647", 2147483647},
      {u"99999999999999999999", std::numeric_limits<int32_t>::max()}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(LeadingNumber(text), expected) << std::string(text.begin(), text.end());
  }
}

TEST(ImageTypeSheet, ClampsTheQualityAndLimitsItsSpin) {
  EXPECT_EQ(ClampedQuality(u"120"), 100);
  EXPECT_EQ(ClampedQuality(u"10"), 50);
  EXPECT_EQ(ClampedQuality(u""), 50);
  EXPECT_EQ(ClampedQuality(u"75"), 75);
  EXPECT_FALSE(QualitySpinAccepts(50, false));
  EXPECT_TRUE(QualitySpinAccepts(51, false));
  EXPECT_TRUE(QualitySpinAccepts(99, true));
  EXPECT_FALSE(QualitySpinAccepts(100, true));
}

TEST(ImageTypeSheet, TakesTheLastCheckedType) {
  EXPECT_EQ(CheckedFileType(false, false, false), u"JPG");
  EXPECT_EQ(CheckedFileType(true, false, false), u"JPG");
  EXPECT_EQ(CheckedFileType(false, true, false), u"PNG");
  EXPECT_EQ(CheckedFileType(true, true, true), u"GIF");
}

TEST(ImageTypeSheet, NamesTheSavedFile) {
  struct Case {
    TextView chosen, checked, path, extension;
  };
  const Case cases[] = {
      {u"C:\\out\\pic", u"GIF", u"C:\\out\\pic.gif", u"gif"},
      {u"C:\\out\\pic.bmp", u"GIF", u"C:\\out\\pic.bmp.jpg", u"jpg"},
      {u"C:\\out\\pic.PNG", u"JPG", u"C:\\out\\pic.PNG", u"png"},
      // A dot in a folder name is no extension of the file.
      {u"C:\\a.png\\pic", u"PNG", u"C:\\a.png\\pic.png", u"png"},
  };
  for (const Case& c : cases) {
    SaveAsTarget target = SaveAsTargetFor(c.chosen, c.checked);
    EXPECT_EQ(target.path, c.path) << std::string(c.chosen.begin(), c.chosen.end());
    EXPECT_EQ(target.extension, c.extension);
  }
}

}  // namespace
}  // namespace qorva
