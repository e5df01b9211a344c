// The conversion of one import page: read the scene and its animation, check
// the ACT palette, build the materials (Prepare); build the palette and the
// colour tables and fill the job (Setup, before the conversion thread
// starts); convert every object and write the ZVL file of version 7.2 through
// a temporary file beside the target (Run, on the conversion thread).
//
// Stop() may be called from any thread at any time: it sets the host's stop
// flag, the engine's next callback sees it, Run() unwinds and no output is
// left behind.
#pragma once

#include "authoring/authoring_host.h"
#include "authoring/conversion_job.h"
#include "authoring/conversion_reporter.h"
#include "authoring/page_fields.h"
#include "import/imported_scene.h"

#include <memory>
#include <string>

namespace authoring {

class SceneConversion {
 public:
  explicit SceneConversion(ConversionReporter& reporter);
  ~SceneConversion();
  SceneConversion(const SceneConversion&) = delete;
  SceneConversion& operator=(const SceneConversion&) = delete;

  // Reads the scene named in the fields with its animation, checks the
  // palette file ("Palette file missed or corrupted") and builds the
  // converted material table. False when the conversion ends here: empty
  // required fields and a 3D Studio page asking for an empty VUE file end it
  // without a message, everything else after one.
  bool Prepare(const PageFields& fields);

  // What the UnitsDialog offers: the largest bounding-box diagonal among the
  // scene's meshes / 250.
  float DefaultUnits() const;

  // Builds the palette and colour tables and fills the job for `units` per
  // 3D pixel at level 0 and the output file. False after a report.
  bool Setup(float units, const std::string& outputPath);

  // Converts and writes the file (on the conversion thread). 0, or -1 after a
  // report (nothing is reported when the conversion was stopped). The output
  // replaces its target only on success.
  int Run();

  // Asks the running conversion to end (any thread).
  void Stop();
  bool Stopped() const;

  const ImportedScene& Scene() const { return scene_; }
  const ConversionJob& Job() const { return job_; }
  AuthoringHost* Host() { return host_.get(); }
  // The 768 colour bytes of the palette, for the preview.
  void PaletteRgb(uint8_t rgb[768]);

 private:
  std::unique_ptr<ConvertedObject> ConvertObject(int index);

  ConversionReporter& reporter_;
  PageFields fields_;
  ImportedScene scene_;
  std::unique_ptr<AuthoringHost> host_;
  ConversionJob job_;
  std::string outputPath_;
  float units_ = 1.0f;
  bool paletteBuilt_ = false;
  bool earlyStop_ = false;  // Stop() before the host existed
};

// Every step in one call, as `zvl convert` and the tests run it: Prepare,
// the units (<= 0: the default), Setup, Run. 0 or -1.
int ConvertPage(const PageFields& fields, float units, const std::string& outputPath,
                ConversionReporter& reporter);

}  // namespace authoring
