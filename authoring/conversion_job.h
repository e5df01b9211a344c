// The conversion job: what the shell fills before the conversion thread
// starts, and the writer that pulls the objects through the job's object
// callback one by one and writes the ZVL file of version 7.2.
#pragma once

#include "zvlfile/database.h"
#include "zvlfile/io.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace authoring {

// One converted object, made by the object callback and handed back through
// the release callback once the writer has taken what it needs.
struct ConvertedObject {
  std::string name;
  float baseUnits = 0;      // units per 3D pixel of level 0
  int16_t levelCount = 0;
  // The levels' parts joined into one VoxObject, finest first; empty when
  // the job makes no geometry.
  std::vector<uint8_t> geometry;
  // Placement per frame: flag byte, location, 3x3 matrix row after row.
  std::vector<uint8_t> flags;
  std::vector<std::array<float, 3>> locations;
  std::vector<std::array<float, 9>> matrices;
};

struct ConversionJob {
  uint32_t optionFlags = 0;        // kMakePalette | kMakeGeometry | kMakeAnimation | kHighColor
  std::string databaseName;        // the scene file's base name, at most 15 characters
  const ZorvelPalette* palette = nullptr;
  std::string paletteName;         // the ACT file's base name, at most 15 characters
  const ColorTable16* colorTable = nullptr;
  int32_t objectCount = 0;
  int32_t frameCount = 0;

  // The object callback: the converted object of one index, or null after
  // the reason was reported.
  std::function<std::unique_ptr<ConvertedObject>(int index, ConversionJob& job)> getObject;
  // The release callback; by default the object is simply dropped.
  std::function<void(std::unique_ptr<ConvertedObject>)> releaseObject;

  // Preview and progress. Each returns true when the abort flag is set.
  std::function<bool(int x, int z, const uint8_t rgb[3])> plot;
  std::function<bool()> clearPreview;
  std::function<bool(int range, const std::string& text)> stage;
  std::function<bool(int position)> progress;
  std::function<bool()> progressReset;

  // The text of the last error the conversion met.
  std::string errorText;
};

// Writes the job's file at the handle's position: the palette chunk (entries
// with kMakePalette, the 16-bit table with kHighColor), the scene with every
// object pulled through the object callback (geometry only with
// kMakeGeometry), and every frame's placement with kMakeAnimation, frame 0
// alone otherwise. 0, or ZvlFailure with the reason in the file layer's
// error text (an object callback that gives nothing: "Can't get object data").
int WriteConversionJob(ZvlHandle handle, ConversionJob& job);

// The same into a database in memory (what the writer writes), for callers
// that keep the scene: 0 or ZvlFailure as above.
int BuildJobDatabase(ConversionJob& job, ZvlDatabasePtr& database);

}  // namespace authoring
