// What the conversion thread shows while it works and the window reads: the
// step text, the progress bar's range and position, and the preview picture
// of plotted 3D pixels. The conversion thread writes, the user-interface
// thread polls; everything shared is atomic except the step text, which is
// guarded by a mutex of its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace authoring {

class ProgressMonitor {
 public:
  // The preview area in pixels; plotted points are relative to its centre.
  static constexpr int kPreviewWidth = 320;
  static constexpr int kPreviewHeight = 240;

  ProgressMonitor();

  // Conversion thread.
  void Stage(int range, const std::string& text);
  void Progress(int position) { position_.store(position, std::memory_order_relaxed); }
  void ResetProgress() { position_.store(0, std::memory_order_relaxed); }
  // A point (x, z) relative to the preview's centre in the colour R, G, B;
  // points outside the area are dropped.
  void Plot(int x, int z, const uint8_t rgb[3]);
  void ClearPreview();

  // User-interface thread.
  std::string StepText() const;
  int Range() const { return range_.load(std::memory_order_relaxed); }
  int Position() const { return position_.load(std::memory_order_relaxed); }
  // 0x00RRGGBB of a preview pixel; black where nothing was plotted.
  uint32_t PreviewPixel(int x, int y) const {
    return preview_[size_t(y) * kPreviewWidth + size_t(x)].load(std::memory_order_relaxed);
  }
  // Counts every change of the preview, so a window repaints only when
  // something was plotted or cleared.
  uint32_t PreviewChanges() const { return changes_.load(std::memory_order_relaxed); }

 private:
  mutable std::mutex textMutex_;
  std::string text_;
  std::atomic<int> range_{0};
  std::atomic<int> position_{0};
  std::unique_ptr<std::atomic<uint32_t>[]> preview_;
  std::atomic<uint32_t> changes_{0};
};

}  // namespace authoring
