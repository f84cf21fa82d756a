#include "app/transport_display.h"

#include <gtest/gtest.h>

namespace lyricade {
namespace {

constexpr int64_t kSecond = 10'000'000;

TEST(TransportDisplay, TimeTextTakesMinutesModuloSixty) {
  EXPECT_EQ(FormatTimeText(0, 0), "00:00 | 00:00");
  EXPECT_EQ(FormatTimeText(65 * kSecond + kSecond / 2, 245 * kSecond), "01:05 | 04:05");
  EXPECT_EQ(FormatTimeText((61 * 60 + 5) * kSecond, 0), "01:05 | 00:00");
  EXPECT_EQ(FormatTimeText(-1, -1), "00:00 | 00:00");
}

TEST(TransportDisplay, BarsAndTheirInverses) {
  EXPECT_EQ(ProgressValue(0, 100 * kSecond), 0);
  EXPECT_EQ(ProgressValue(50 * kSecond, 100 * kSecond), 92);
  EXPECT_EQ(ProgressValue(200 * kSecond, 100 * kSecond), 184);
  EXPECT_EQ(ProgressValue(5 * kSecond, 0), 0);
  EXPECT_EQ(ProgressPosition(92, 100 * kSecond), 50 * kSecond);
  EXPECT_EQ(ProgressPosition(92, 0), 0);
  EXPECT_EQ(VolumeBarValue(100), 133);
  EXPECT_EQ(VolumeBarValue(50), 66);
  EXPECT_EQ(VolumeFromBar(133), 100);
  EXPECT_EQ(VolumeFromBar(66), 49);
  EXPECT_EQ(VolumeFromBar(500), 100);
}

}  // namespace
}  // namespace lyricade
