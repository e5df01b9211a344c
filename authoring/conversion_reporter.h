// What a conversion shows its user. The program implements it with message
// boxes, the ProgressBox and the ZorvelizationDialog; the command-line tool
// with standard error. The reading steps call it from the thread that runs
// them, the conversion itself from the conversion thread.
#pragma once

#include <cstdint>
#include <string>

namespace authoring {

class ConversionReporter {
 public:
  virtual ~ConversionReporter() = default;

  // A message box captioned "Error": the step that shows it fails (except
  // where the conversion says it goes on).
  virtual void Error(const std::string& text) = 0;
  // A message box captioned "Warning": the conversion goes on.
  virtual void Warning(const std::string& text) = 0;
  // A note of the palette builder (the prototype it took).
  virtual void Info(const std::string&) {}

  // Reading the scene: the ProgressBox's caption and percentage.
  virtual void LoadingCaption(const std::string&) {}
  virtual void LoadingPercent(int) {}

  // Converting: the step text with the progress bar's range, its position,
  // and the preview of plotted 3D pixels (x, z relative to the grid centre).
  virtual void Stage(int, const std::string&) {}
  virtual void Progress(int) {}
  virtual void ResetProgress() {}
  virtual void Plot(int, int, const uint8_t[3]) {}
  virtual void ClearPreview() {}
};

}  // namespace authoring
