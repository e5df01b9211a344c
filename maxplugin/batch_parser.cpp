// The batch file's grammar: top-level lines change the settings for the jobs
// that follow, BEGIN_JOB .. END_JOB lines change the job's own copy and list
// its objects. The first error ends the parse.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "maxplugin/batch.h"
#include "maxplugin/batch_messages.h"
#include "maxplugin/contents.h"
#include "maxplugin/start.h"

namespace zvlplay {
namespace {

using Tokens = std::vector<std::string_view>;

// Numbers are whole tokens of decimal text; anything else (or a value out of
// range) is not a number.
bool ReadInt(std::string_view token, int& value) {
  const std::string text(token);
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < -2000000000L || v > 2000000000L) return false;
  value = int(v);
  return true;
}

bool ReadFloat(std::string_view token, float& value) {
  const std::string text(token);
  if (text.empty()) return false;
  char* end = nullptr;
  const float v = std::strtof(text.c_str(), &end);
  if (*end != '\0' || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool IsNumber(std::string_view token) {
  float v;
  return ReadFloat(token, v);
}

std::string NormalizePath(std::string_view path) {
  std::string p(path);
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

struct Failure {
  const char* message;
};

class Parser {
 public:
  Parser(SceneRange scene, const FileExists& exists) : scene_(scene), exists_(exists) {}

  int Parse(std::string_view text, const BatchSettings& defaults, BatchFile& batch, BatchError& error) {
    BatchTokenizer tokens(text);
    BatchSettings settings = defaults;
    BatchJob* job = nullptr;
    bool afterObject = false;
    auto fail = [&](const char* message) {
      error.line = std::max(1, tokens.LineNumber());
      error.message = message;
      return -1;
    };
    try {
      for (;;) {
        const int got = tokens.NextLine();
        if (got < 0) return fail(tokens.error);
        if (got == 0) break;
        const Tokens& t = tokens.Tokens();
        const std::string_view key = t[0];
        const bool objectLine = key == "OBJECT";
        if (job) {
          if (key == "END_JOB") {
            if (job->objects.empty()) return fail(msg::NoObjectsInJob);
            job = nullptr;
          } else if (key == "OUT_FILE") {
            job->outFile = NormalizePath(Argument(t));
          } else if (objectLine) {
            job->objects.push_back(ObjectLine(t, job->settings));
          } else if (key == "OBJ_SMOOTH") {
            if (!afterObject) return fail(msg::ObjSmoothAfterObjectOnly);
            ObjSmoothLine(t, job->objects.back());
          } else if (key == "LOAD") {
            return fail(msg::LoadInsideJob);
          } else if (!Common(t, job->settings)) {
            return fail(msg::IllegalKeyword);
          }
        } else if (key == "SCENE_PATH") {
          settings.scenePath = NormalizePath(Argument(t));
        } else if (key == "PALETTE_PATH") {
          settings.palettePath = NormalizePath(Argument(t));
        } else if (key == "OUTPUT_PATH") {
          settings.outputPath = NormalizePath(Argument(t));
        } else if (key == "BEGIN_JOB") {
          if (t.size() > 1) throw Failure{msg::IllegalKeyword};
          BatchJob& added = batch.jobs.emplace_back();
          added.settings = settings;
          job = &added;
        } else if (key == "LOAD") {
          BatchJob& added = batch.jobs.emplace_back();
          added.load = true;
          added.sceneFile = JoinPath(settings.scenePath, NormalizePath(Argument(t)));
          const bool exists = exists_ ? exists_(added.sceneFile) : std::filesystem::is_regular_file(added.sceneFile);
          if (!exists) return fail(msg::FileDoesNotExist);
        } else if (key == "OBJ_SMOOTH") {
          return fail(msg::ObjSmoothAfterObjectOnly);
        } else if (!Common(t, settings)) {
          return fail(msg::IllegalKeyword);
        }
        afterObject = objectLine;
      }
    } catch (const Failure& f) {
      return fail(f.message);
    } catch (const std::bad_alloc&) {
      return fail(msg::NoRoomForParserBuffer);
    }
    if (tokens.LineNumber() == 0) return fail(msg::KeywordExpected);
    if (job) return fail(msg::EndJobExpected);
    if (batch.jobs.empty()) return fail(msg::NoJobInFile);
    return 0;
  }

 private:
  // The one argument of a path or name keyword.
  static std::string_view Argument(const Tokens& t) {
    if (t.size() < 2) throw Failure{msg::StringExpected};
    if (t.size() > 2) throw Failure{msg::IllegalKeyword};
    return t[1];
  }
  static float FloatArgument(const Tokens& t) {
    if (t.size() < 2) throw Failure{msg::NumberExpected};
    if (t.size() > 2) throw Failure{msg::IllegalKeyword};
    float v;
    if (!ReadFloat(t[1], v)) throw Failure{msg::InvalidNumber};
    return v;
  }
  static int IntArgument(const Tokens& t, size_t i) {
    if (t.size() <= i) throw Failure{msg::NumberExpected};
    int v;
    if (!ReadInt(t[i], v)) throw Failure{msg::InvalidNumber};
    return v;
  }
  static float FloatAt(const Tokens& t, size_t i) {
    if (t.size() <= i) throw Failure{msg::NumberExpected};
    float v;
    if (!ReadFloat(t[i], v)) throw Failure{msg::InvalidNumber};
    return v;
  }
  static void Check(bool ok, const char* message = msg::InvalidNumber) {
    if (!ok) throw Failure{message};
  }

  // The lines allowed both outside and inside a job. False: not one of them.
  bool Common(const Tokens& t, BatchSettings& s) {
    const std::string_view key = t[0];
    if (key == "UNITS") {
      const float v = FloatArgument(t);
      Check(v > 0);  // zero units per 3D pixel would make an endless grid
      s.units = v;
    } else if (key == "FACTOR") {
      const float v = FloatArgument(t);
      Check(v > 0);
      s.factor = v;
    } else if (key == "SMOOTH_STEP") {
      const float v = FloatArgument(t);
      Check(v >= 0);
      s.smoothingStep = v;
    } else if (key == "LEVELS") {
      const int v = IntArgument(t, 1);
      Check(t.size() == 2, msg::IllegalKeyword);
      Check(v >= 0 && v <= kBatchMaxJobLevels);
      s.levels = v;
    } else if (key == "SMOOTH") {
      const int v = IntArgument(t, 1);
      Check(t.size() == 2, msg::IllegalKeyword);
      Check(v >= 0 && v <= kMaxSmoothing);
      s.smoothing = v;
    } else if (key == "PALETTE") {
      PaletteLine(t, s);
    } else if (key == "GET_LCS_FROM") {
      Check(t.size() >= 2, msg::KeywordExpected);
      if (t[1] == "LOCAL" && t.size() == 2) {
        s.localFromFrame = false;
      } else if (t[1] == "FRAME") {
        const int frame = IntArgument(t, 2);
        Check(t.size() == 3, msg::IllegalKeyword);
        Check(frame >= scene_.first && frame <= scene_.last);
        s.localFromFrame = true;
        s.localFrame = frame;
      } else {
        throw Failure{msg::IllegalKeyword};
      }
    } else if (key == "ANIMATION") {
      AnimationLine(t, s);
    } else if (key == "CONTENTS") {
      Check(t.size() >= 2, msg::KeywordExpected);
      uint32_t contents = 0;
      for (size_t i = 1; i < t.size(); ++i) {
        const uint32_t bit = ContentsBit(t[i]);
        Check(bit != 0, msg::IllegalKeyword);
        contents |= bit;
      }
      s.contents = contents;
    } else {
      return false;
    }
    return true;
  }

  static uint32_t ContentsBit(std::string_view word) {
    if (word == "8BIT_GRAD") return kContents8BitGradient;
    if (word == "16BIT_GRAD") return kContents16BitGradient;
    if (word == "GEOMETRY") return kContentsGeometry;
    if (word == "ANIMATION") return kContentsAnimation;
    if (word == "HIERARCHY") return kContentsHierarchy;
    if (word == "STREAMABLE") return kContentsStreamable;
    return 0;
  }

  static void PaletteLine(const Tokens& t, BatchSettings& s) {
    if (t.size() < 2) throw Failure{msg::StringExpected};
    int start = s.startColor, end = s.endColor;
    for (size_t i = 2; i < t.size(); i += 2) {
      if (t[i] == "START_COL")
        start = IntArgument(t, i + 1);
      else if (t[i] == "END_COL")
        end = IntArgument(t, i + 1);
      else
        throw Failure{msg::IllegalKeyword};
    }
    // Colours index a palette of 256 entries.
    Check(start >= 0 && end >= start && end <= 255);
    s.paletteFile = NormalizePath(t[1]);
    s.startColor = start;
    s.endColor = end;
  }

  void AnimationLine(const Tokens& t, BatchSettings& s) {
    Check(t.size() >= 2, msg::KeywordExpected);
    if (t[1] == "ALL") {
      Check(t.size() == 2, msg::IllegalKeyword);
      s.frames.all = true;
      return;
    }
    if (t[1] == "FRAMES") {
      Check(t.size() >= 3, msg::StringExpected);
      // A list written with blanks after its commas is still one list.
      std::string list;
      for (size_t i = 2; i < t.size(); ++i) list += t[i];
      s.frames.all = false;
      s.frames.range = FrameRange::FromList(scene_.first, scene_.last, list);
      return;
    }
    int from = scene_.first, to = scene_.last, step = 1;
    for (size_t i = 1; i < t.size(); i += 2) {
      if (t[i] == "FROM")
        from = IntArgument(t, i + 1);
      else if (t[i] == "TO")
        to = IntArgument(t, i + 1);
      else if (t[i] == "STEP")
        step = IntArgument(t, i + 1);
      else
        throw Failure{msg::IllegalKeyword};
    }
    Check(from >= scene_.first && from <= scene_.last && to >= scene_.first && to <= scene_.last && to >= from);
    Check(step >= 1 && (step < scene_.last || step == 1));
    s.frames.all = false;
    s.frames.range = FrameRange::FromRange(scene_.first, scene_.last, from, to, step);
  }

  static void FillLevels(BatchObjectParams& o) {
    o.unitsPerLevel.clear();
    float u = o.units;
    for (int i = 0; i < o.levels; ++i, u *= o.factor) o.unitsPerLevel.push_back(u);
    FillSmoothing(o);
  }
  static void FillSmoothing(BatchObjectParams& o) {
    o.smoothingPerLevel.clear();
    float s = float(o.smoothing);
    for (int i = 0; i < o.levels; ++i, s *= o.smoothingStep)
      o.smoothingPerLevel.push_back(int(std::clamp(s, 0.0f, float(kMaxSmoothing))));
  }

  static BatchObjectParams ObjectLine(const Tokens& t, const BatchSettings& job) {
    if (t.size() < 2) throw Failure{msg::ObjectNameExpected};
    BatchObjectParams o;
    o.name = std::string(t[1]);
    o.levels = job.levels;
    o.factor = job.factor;
    o.units = job.units;
    o.smoothing = job.smoothing;
    o.smoothingStep = job.smoothingStep;
    const bool unitsList = t.size() > 3 && t[2] == "UNITS" && std::all_of(t.begin() + 3, t.end(), IsNumber);
    if (unitsList) {
      const int n = int(t.size()) - 3;
      Check(n <= kMaxLevels, msg::TooManyLevels);
      o.levels = n;
      FillLevels(o);
      for (int i = 0; i < n; ++i) {
        const float v = FloatAt(t, size_t(3 + i));
        Check(v > 0);
        o.unitsPerLevel[size_t(i)] = v;
      }
      o.units = o.unitsPerLevel[0];
      return o;
    }
    bool levelsSet = false;
    int listed = 0;
    for (size_t i = 2; i < t.size();) {
      const std::string_view key = t[i];
      if (key == "UNITS") {
        o.units = FloatAt(t, i + 1);
        Check(o.units > 0);
        // Several numbers after UNITS: the first is the units, their count
        // the level count unless LEVELS says otherwise.
        size_t j = i + 2;
        while (j < t.size() && IsNumber(t[j])) ++j;
        listed = int(j - i - 1);
        i = j;
      } else if (key == "LEVELS") {
        o.levels = IntArgument(t, i + 1);
        Check(o.levels > 0);
        Check(o.levels <= kMaxLevels, msg::TooManyLevels);
        levelsSet = true;
        i += 2;
      } else if (key == "FACTOR") {
        o.factor = FloatAt(t, i + 1);
        Check(o.factor > 0);
        i += 2;
      } else {
        throw Failure{msg::IllegalKeyword};
      }
    }
    if (!levelsSet && listed > 1) o.levels = listed;
    // A job with LEVELS 0 or 16 gives objects no level count of their own.
    Check(o.levels > 0);
    Check(o.levels <= kMaxLevels, msg::TooManyLevels);
    FillLevels(o);
    // Units that grow past a float or shrink to nothing are refused.
    for (const float u : o.unitsPerLevel) Check(std::isfinite(u) && u > 0);
    return o;
  }

  static void ObjSmoothLine(const Tokens& t, BatchObjectParams& o) {
    Check(t.size() >= 2, msg::NumberExpected);
    if (t.size() == 2 || (t.size() == 4 && t[2] == "SMOOTH_STEP")) {
      const int s = IntArgument(t, 1);
      Check(s >= 0 && s <= kMaxSmoothing);
      if (t.size() == 4) {
        const float step = FloatAt(t, 3);
        Check(step > 0);
        o.smoothingStep = step;
      }
      o.smoothing = s;
      FillSmoothing(o);
      return;
    }
    Check(int(t.size()) - 1 == o.levels, msg::LevelsMismatch);
    for (int i = 0; i < o.levels; ++i) {
      const int s = IntArgument(t, size_t(i + 1));
      Check(s >= 0 && s <= kMaxSmoothing);
      o.smoothingPerLevel[size_t(i)] = s;
    }
    o.smoothing = o.smoothingPerLevel[0];
  }

  SceneRange scene_;
  const FileExists& exists_;
};

}  // namespace

std::string BatchError::Text() const {
  char text[1200];
  std::snprintf(text, sizeof text, msg::BatchErrorFormat, line, message.c_str());
  return text;
}

SceneRange SceneRangeOf(Interface& ip) {
  const SceneFrames f = GetSceneFrames(ip);
  return {f.first, f.last};
}

std::string_view PathFolder(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash == 0 ? 1 : slash);
}

std::string_view PathName(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  const bool absolute = !name.empty() && (name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':'));
  if (folder.empty() || absolute) return std::string(name);
  if (name.empty()) return std::string(folder);
  std::string path(folder);
  if (path.back() != '/' && path.back() != '\\') path += '/';
  path += name;
  return path;
}

BatchSettings BatchSettingsFromPanel(const PanelSettings& panel, Interface& ip) {
  BatchSettings s;
  s.contents = panel.Contents();
  s.units = panel.units;
  s.levels = panel.levels;
  s.smoothing = panel.smooth;
  if (panel.paletteFileOn) {
    s.palettePath = NormalizePath(PathFolder(panel.paletteFile));
    s.paletteFile = std::string(PathName(panel.paletteFile));
  }
  if (panel.outputFileOn) s.outputPath = NormalizePath(PathFolder(panel.outputFile));
  s.scenePath = NormalizePath(PathFolder(ip.GetCurFilePath().data()));
  s.startColor = panel.startColor;
  s.endColor = panel.endColor;
  s.localFromFrame = panel.localFromFrame;
  s.localFrame = panel.localFrame;
  const SceneRange scene = SceneRangeOf(ip);
  s.frames.range = FrameRange::FromRange(scene.first, scene.last, scene.first, scene.last, 1);
  return s;
}

int ParseBatch(std::string_view text, const BatchSettings& defaults, SceneRange scene, BatchFile& batch,
               BatchError& error, const FileExists& fileExists) {
  batch.jobs.clear();
  Parser parser(scene, fileExists);
  const int result = parser.Parse(text, defaults, batch, error);
  if (result != 0) batch.jobs.clear();
  return result;
}

int ParseBatchFile(const std::string& path, const BatchSettings& defaults, SceneRange scene, BatchFile& batch,
                   BatchError& error) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  std::ifstream in(path, std::ios::binary);
  std::string text;
  if (!ec && in && size <= kBatchMaxFileSize) {
    text.resize(size_t(size));
    in.read(text.data(), std::streamsize(size));
    if (in.gcount() == std::streamsize(size)) return ParseBatch(text, defaults, scene, batch, error);
  }
  error.line = 0;
  error.message = msg::ReadError;
  return -1;
}

LodParameters BatchObjectParams::Lod() const {
  LodParameters lod;
  lod.units = unitsPerLevel;
  lod.smoothing = smoothingPerLevel;
  for (int& s : lod.smoothing) s = std::min(s, kMaxSmoothing);
  return lod;
}

std::string BatchJob::OutputPath() const { return JoinPath(settings.outputPath, outFile); }
std::string BatchJob::PalettePath() const {
  return settings.paletteFile.empty() ? std::string() : JoinPath(settings.palettePath, settings.paletteFile);
}

}  // namespace zvlplay
