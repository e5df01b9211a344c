// Playback timing: the target rate R that paces rendering and the measured
// rate taken over groups of ten rendered frames. Times are milliseconds of
// a steady clock.
#pragma once

#include <cstdint>
#include <optional>

namespace zvplay {

inline constexpr double MaximumRate = 1000.0;  // R after opening a file and for "maximum frame rate"

class FrameTiming {
 public:
  double targetRate() const { return target_; }
  void setTargetRate(double rate) { target_ = rate; }
  double measuredRate() const { return measured_; }

  // Forgets the time of the last frame (the next pass renders at once) and
  // restarts the measurement. The measured rate itself is kept.
  void restart();

  // Whether a frame is due at `now`: false while less than 1000 / R
  // milliseconds have passed since the last frame; when due, `now` becomes
  // the time of the last frame.
  bool frameDue(int64_t now);

  // Counts a rendered frame. The first of each group of ten records its
  // time; the tenth yields the rate 10000 / (milliseconds since then), which
  // becomes the measured rate.
  std::optional<double> frameRendered(int64_t now);

 private:
  double target_ = MaximumRate;
  double measured_ = 0.0;
  std::optional<int64_t> last_;
  int counter_ = 0;
  int64_t groupStart_ = 0;
};

}  // namespace zvplay
