#include "maxplugin/frame_range.h"

#include <algorithm>
#include <cctype>

namespace zvlplay {

FrameRange::FrameRange(int f, int l) : first(f), last(std::max(f, l)) { selected.assign(size_t(Count()), 0); }

int FrameRange::SelectedCount() const { return int(std::count(selected.begin(), selected.end(), uint8_t(1))); }

std::vector<int> FrameRange::Frames() const {
  std::vector<int> frames;
  for (int i = 0; i < Count(); ++i)
    if (selected[size_t(i)]) frames.push_back(first + i);
  return frames;
}

void FrameRange::SelectFirstIfEmpty() {
  if (SelectedCount() == 0) selected[0] = 1;
}

FrameRange FrameRange::FromRange(int first, int last, int from, int to, int step) {
  FrameRange range(first, last);
  range.step = std::max(step, 1);
  for (long long f = range.first; f <= range.last; f += range.step)
    if (f >= from && f <= to) range.selected[size_t(f - range.first)] = 1;
  range.SelectFirstIfEmpty();
  return range;
}

FrameRange FrameRange::FromList(int first, int last, std::string_view list) {
  FrameRange range(first, last);
  size_t i = 0;
  auto number = [&](long long& value) {
    if (i >= list.size() || !std::isdigit(static_cast<unsigned char>(list[i]))) return false;
    value = 0;
    for (; i < list.size() && std::isdigit(static_cast<unsigned char>(list[i])); ++i)
      value = std::min<long long>(value * 10 + (list[i] - '0'), 1LL << 40);
    return true;
  };
  while (i < list.size()) {
    long long a = 0;
    if (!number(a)) {
      ++i;  // anything but a number is skipped
      continue;
    }
    long long b = a;
    if (i < list.size() && list[i] == '-') {
      ++i;
      if (!number(b)) b = a;
    }
    for (long long f = std::max<long long>(a, range.first); f <= std::min<long long>(b, range.last); ++f)
      range.selected[size_t(f - range.first)] = 1;
  }
  range.SelectFirstIfEmpty();
  return range;
}

FrameRange FrameRange::Single(int first, int last, int frame) {
  FrameRange range(first, last);
  if (frame >= range.first && frame <= range.last) range.selected[size_t(frame - range.first)] = 1;
  range.SelectFirstIfEmpty();
  return range;
}

}  // namespace zvlplay
