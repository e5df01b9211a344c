#include "player/frame_timing.h"

#include <gtest/gtest.h>

using namespace zvplay;

TEST(FrameTiming, PacesFramesByTheTargetRate) {
  FrameTiming t;
  t.setTargetRate(20.0);  // one frame per 50 ms
  EXPECT_TRUE(t.frameDue(1000));  // nothing rendered yet: at once
  EXPECT_FALSE(t.frameDue(1049));
  EXPECT_TRUE(t.frameDue(1050));
  EXPECT_FALSE(t.frameDue(1060));
  t.restart();  // a reset renders the next pass at once
  EXPECT_TRUE(t.frameDue(1061));
}

TEST(FrameTiming, RatesBelowOneFramePerSecondStillPace) {
  FrameTiming t;
  t.setTargetRate(0.5);
  EXPECT_TRUE(t.frameDue(0));
  EXPECT_FALSE(t.frameDue(1999));
  EXPECT_TRUE(t.frameDue(2000));
}

TEST(FrameTiming, MaximumRateRendersEveryMillisecond) {
  FrameTiming t;
  t.setTargetRate(MaximumRate);
  EXPECT_TRUE(t.frameDue(5));
  EXPECT_FALSE(t.frameDue(5));
  EXPECT_TRUE(t.frameDue(6));
}

TEST(FrameTiming, MeasuresOverGroupsOfTen) {
  FrameTiming t;
  for (int i = 0; i < 9; ++i) EXPECT_FALSE(t.frameRendered(100 + 20 * i).has_value());
  auto rate = t.frameRendered(100 + 20 * 9 + 20);  // 200 ms after the group's first frame
  ASSERT_TRUE(rate.has_value());
  EXPECT_DOUBLE_EQ(*rate, 50.0);
  EXPECT_DOUBLE_EQ(t.measuredRate(), 50.0);
  // The next group starts fresh.
  for (int i = 0; i < 9; ++i) EXPECT_FALSE(t.frameRendered(1000 + i).has_value());
  rate = t.frameRendered(1000);  // all ten within the same millisecond
  ASSERT_TRUE(rate.has_value());
  EXPECT_DOUBLE_EQ(*rate, 10000.0);
  // Restarting throws away a partial group.
  for (int i = 0; i < 5; ++i) t.frameRendered(2000);
  t.restart();
  for (int i = 0; i < 9; ++i) EXPECT_FALSE(t.frameRendered(3000).has_value());
  EXPECT_TRUE(t.frameRendered(4000).has_value());
  EXPECT_DOUBLE_EQ(t.measuredRate(), 10.0);
}
