#include "player/frame_timing.h"

#include <algorithm>

namespace zvplay {

void FrameTiming::restart() {
  last_.reset();
  counter_ = 0;
  groupStart_ = 0;
}

bool FrameTiming::frameDue(int64_t now) {
  // Any positive rate paces the frames: below one frame per second as well,
  // so that Slow never turns into an unpaced rate.
  if (last_ && target_ > 0.0) {
    const double interval = 1000.0 / target_;
    if (double(now - *last_) < interval) return false;
  }
  last_ = now;
  return true;
}

std::optional<double> FrameTiming::frameRendered(int64_t now) {
  if (counter_ == 0) groupStart_ = now;
  if (++counter_ < 10) return std::nullopt;
  counter_ = 0;
  // Ten frames within one millisecond count as one millisecond.
  const int64_t elapsed = std::max<int64_t>(now - groupStart_, 1);
  measured_ = 10000.0 / double(elapsed);
  return measured_;
}

}  // namespace zvplay
