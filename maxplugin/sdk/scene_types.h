// Time, class identifiers and the identifiers the plug-in looks for.
#pragma once

#include <cstdint>

#include "maxplugin/sdk/geom.h"

// Host time in ticks.
using TimeValue = int32_t;

// A span of host time, both ends included.
struct Interval {
  TimeValue start = 0, end = 0;
  TimeValue Start() const { return start; }
  TimeValue End() const { return end; }
};

using SClass_ID = uint32_t;

class Class_ID {
 public:
  constexpr Class_ID() = default;
  constexpr Class_ID(uint32_t a, uint32_t b) : a_(a), b_(b) {}
  constexpr uint32_t PartA() const { return a_; }
  constexpr uint32_t PartB() const { return b_; }
  friend constexpr bool operator==(Class_ID x, Class_ID y) { return x.a_ == y.a_ && x.b_ == y.b_; }

 private:
  uint32_t a_ = 0, b_ = 0;
};

// Superclasses.
inline constexpr SClass_ID kGeomObjectClassID = 16;
inline constexpr SClass_ID kHelperClassID = 80;
inline constexpr SClass_ID kUtilityClassID = 4128;
// Classes.
inline constexpr uint32_t kPointHelperClassID = 8211;  // a helper that marks a point
inline constexpr uint32_t kStdMatClassID = 2;
inline constexpr uint32_t kMultiMtlClassID = 512;
inline constexpr uint32_t kTriObjectClassID = 9;

// Time in the absence of a host that says otherwise.
inline constexpr int kDefaultTicksPerSecond = 4800;
inline constexpr int kDefaultFramesPerSecond = 30;
