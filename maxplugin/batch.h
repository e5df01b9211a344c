// The batch language: a text file of keyword lines that names scene files to
// load and conversion jobs to run, each with its output file, palette,
// contents, levels of detail and per-object overrides; and the panel's
// settings written out as a one-job batch file.
//
// Usage, as the panel's "Batch File..." input runs a file:
//
//   BatchSettings defaults = BatchSettingsFromPanel(State().settings, ip);
//   BatchFile batch;
//   BatchError error;
//   if (ParseBatchFile(path, defaults, SceneRangeOf(ip), batch, error) != 0)
//     return Show(error.Text());             // "Error in batch file\nLine 3\n..."
//   BatchRunner runner(ip);
//   runner.onError = Show;                   // run-time and converter messages
//   return runner.Run(batch);
//
// Lines end at a carriage return, a line feed, or the pair (counted once);
// "\" and "/" both separate folders, and joined paths use "/". The first
// error ends parsing and nothing of the file runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "maxplugin/converter.h"
#include "maxplugin/frame_range.h"
#include "maxplugin/lod_parameters.h"
#include "maxplugin/settings.h"

namespace zvlplay {

inline constexpr int kBatchLineLength = 1024;   // buffer; at most 1023 characters a line
inline constexpr int kBatchMaxTokens = 128;
inline constexpr int kBatchMaxJobLevels = 16;   // LEVELS outside an OBJECT line
inline constexpr size_t kBatchMaxFileSize = 16u << 20;
inline constexpr float kBatchDefaultFactor = 1.5f;

// Splits text into lines and lines into blank-separated tokens (tabs are
// blanks), skipping comment lines: no token, a first token "REM", or one
// starting with ";".
class BatchTokenizer {
 public:
  explicit BatchTokenizer(std::string_view text) : text_(text) {}
  // 1: a line with tokens; 0: end of text; -1: error (message in error).
  int NextLine();
  const std::vector<std::string_view>& Tokens() const { return tokens_; }
  // 1 for the first line; every line counts, comments and empty ones too.
  int LineNumber() const { return line_; }
  const char* error = nullptr;

 private:
  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 0;
  char buffer_[kBatchLineLength] = {};
  std::vector<std::string_view> tokens_;
};

// Which frames a job samples.
struct FrameSelection {
  bool all = true;     // the scene's whole range, step 1
  FrameRange range = FrameRange::Single(0, 0, 0);
};

struct BatchSettings {
  uint32_t contents = 0;
  float units = 1.0f;
  float factor = kBatchDefaultFactor;
  int smoothing = 0;
  float smoothingStep = kBatchDefaultFactor;
  int levels = 1;
  std::string palettePath, outputPath, scenePath, paletteFile;
  int startColor = 10, endColor = 245;
  FrameSelection frames;
  bool localFromFrame = false;
  int localFrame = 0;
};

struct BatchObjectParams {
  std::string name;
  int levels = 1;
  float factor = kBatchDefaultFactor;
  float units = 1.0f;
  int smoothing = 0;
  float smoothingStep = kBatchDefaultFactor;
  std::vector<float> unitsPerLevel;
  std::vector<int> smoothingPerLevel;
  LodParameters Lod() const;
};

struct BatchJob {
  bool load = false;
  std::string sceneFile;   // load job: the full path
  BatchSettings settings;  // conversion job: as at its BEGIN_JOB line, changed inside
  std::string outFile;
  std::vector<BatchObjectParams> objects;
  std::string OutputPath() const;
  std::string PalettePath() const;
};

struct BatchFile {
  std::vector<BatchJob> jobs;
};

struct BatchError {
  int line = 0;
  std::string message;
  // "Error in batch file\nLine %d\n%s".
  std::string Text() const;
};

// The frames of the scene that checks and "ALL" use.
struct SceneRange {
  int first = 0, last = 0;
};
SceneRange SceneRangeOf(Interface& ip);

// Folder and file name of a path (either separator); joining with "/", an
// empty part left out.
std::string_view PathFolder(std::string_view path);
std::string_view PathName(std::string_view path);
std::string JoinPath(std::string_view folder, std::string_view name);

// The settings in force when a file starts: the panel's.
BatchSettings BatchSettingsFromPanel(const PanelSettings& panel, Interface& ip);

// Parses text. fileExists answers for LOAD (the filesystem when empty). 0, or
// -1 with the line and message.
using FileExists = std::function<bool(const std::string& path)>;
int ParseBatch(std::string_view text, const BatchSettings& defaults, SceneRange scene, BatchFile& batch,
               BatchError& error, const FileExists& fileExists = {});
// Reads the file (at most kBatchMaxFileSize bytes) and parses it.
int ParseBatchFile(const std::string& path, const BatchSettings& defaults, SceneRange scene, BatchFile& batch,
                   BatchError& error);

// Runs a parsed batch through the plug-in's converter.
class BatchRunner {
 public:
  explicit BatchRunner(Interface& ip) : ip_(ip) {}
  ProgressDisplay* progress = nullptr;
  std::function<void(const char*)> onError, onInfo;
  // The converter of the job being run (for a progress dialog's Cancel).
  std::function<void(ZvlPlayConverter*)> onConverter;
  // Makes each job's converter (one with a preview window); unset: a plain one.
  std::function<std::unique_ptr<ZvlPlayConverter>(Interface&)> makeConverter;
  std::string lastError;
  std::vector<std::string> written;  // output files, in order
  // Every job in file order; the first failure ends the run. 0 or -1.
  int Run(const BatchFile& batch);

 private:
  int Fail(const std::string& text);
  int RunConversion(const BatchJob& job, int& progressBase);
  Interface& ip_;
};

// What the panel's batch input does: parse the file with the panel's
// settings as defaults, show a parse error as BatchError::Text, else run.
// report shows each failure once. 0 or -1.
int RunBatchFile(Interface& ip, const PanelSettings& panel, const std::string& path, ProgressDisplay* progress,
                 const std::function<void(const char*)>& report,
                 const std::function<void(ZvlPlayConverter*)>& onConverter = {},
                 const std::function<std::unique_ptr<ZvlPlayConverter>(Interface&)>& makeConverter = {});
// What the panel's batch output does: the objects the panel would convert,
// written with its settings to panel.batchOutputFile. 0 or -1.
int WritePanelBatchFile(Interface& ip, const PanelSettings& panel, const std::function<void(const char*)>& report);

// The panel's settings as a one-job batch file. objectNames: the objects the
// panel would convert. 0, or -1 with the message in error.
std::string FormatBatchFile(const PanelSettings& panel, Interface& ip, const std::vector<std::string>& objectNames);
int WriteBatchFile(const std::string& path, const PanelSettings& panel, Interface& ip,
                   const std::vector<std::string>& objectNames, std::string& error);

}  // namespace zvlplay
