#include "authoring/progress_monitor.h"

namespace authoring {

ProgressMonitor::ProgressMonitor()
    : preview_(new std::atomic<uint32_t>[size_t(kPreviewWidth) * kPreviewHeight]) {
  for (size_t i = 0; i < size_t(kPreviewWidth) * kPreviewHeight; ++i) preview_[i].store(0);
}

void ProgressMonitor::Stage(int range, const std::string& text) {
  {
    std::lock_guard<std::mutex> lock(textMutex_);
    text_ = text;
  }
  range_.store(range, std::memory_order_relaxed);
  position_.store(0, std::memory_order_relaxed);
}

void ProgressMonitor::Plot(int x, int z, const uint8_t rgb[3]) {
  const int px = x + kPreviewWidth / 2;
  const int py = kPreviewHeight / 2 - z;  // z up on the screen
  if (px < 0 || py < 0 || px >= kPreviewWidth || py >= kPreviewHeight) return;
  const uint32_t colour = uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
  preview_[size_t(py) * kPreviewWidth + size_t(px)].store(colour, std::memory_order_relaxed);
  changes_.fetch_add(1, std::memory_order_relaxed);
}

void ProgressMonitor::ClearPreview() {
  for (size_t i = 0; i < size_t(kPreviewWidth) * kPreviewHeight; ++i)
    preview_[i].store(0, std::memory_order_relaxed);
  changes_.fetch_add(1, std::memory_order_relaxed);
}

std::string ProgressMonitor::StepText() const {
  std::lock_guard<std::mutex> lock(textMutex_);
  return text_;
}

}  // namespace authoring
