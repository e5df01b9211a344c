// The frames a conversion samples: a span of the scene's frames with one
// selection byte per frame, built from a range with a step or from a list
// text such as "0,5,10-20".
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zvlplay {

struct FrameRange {
  int first = 0, last = 0;    // the scene's frames
  int step = 1;
  std::vector<uint8_t> selected;  // last - first + 1 bytes, 1 = selected

  int Count() const { return last - first + 1; }
  int SelectedCount() const;
  // The selected frame numbers in increasing order.
  std::vector<int> Frames() const;

  // Frames first + k * step that lie in from .. to.
  static FrameRange FromRange(int first, int last, int from, int to, int step);
  // Every listed frame (numbers and a-b ranges, other characters ignored)
  // within first .. last.
  static FrameRange FromList(int first, int last, std::string_view list);
  // One frame.
  static FrameRange Single(int first, int last, int frame);

 private:
  FrameRange(int f, int l);
  // With nothing selected, the first frame is.
  void SelectFirstIfEmpty();
};

}  // namespace zvlplay
