#include "authoring/conversion_job.h"

#include "authoring/messages.h"
#include "authoring/page_fields.h"
#include "zvlfile/zvlfile.h"

#include <cstring>

namespace authoring {
namespace {

// Stores one converted object as object `index` of the database.
int StoreObject(ZorvelDatabase& db, int index, const ConvertedObject& object, uint32_t flags) {
  if (ZvlSetObjectName(db, index, object.name.c_str()) != 0) return ZvlFailure;
  if ((flags & kMakeGeometry) && !object.geometry.empty() &&
      ZvlSetObjectGeometry(db, index, object.geometry.data(), object.geometry.size()) != 0)
    return ZvlFailure;
  ObjectAnimation& animation = db.animation[index];
  const size_t frames = size_t(db.frameCount);
  for (size_t f = 0; f < frames; ++f) {
    // An object with fewer frames than the scene keeps its last placement.
    const size_t from = object.flags.empty() ? 0 : std::min(f, object.flags.size() - 1);
    animation.flags[f] = object.flags.empty() ? 0 : object.flags[from];
    if (from < object.locations.size())
      std::memcpy(animation.locations + 3 * f, object.locations[from].data(), 12);
    if (from < object.matrices.size()) {
      std::memcpy(animation.matrices + 9 * f, object.matrices[from].data(), 36);
    } else {
      float* m = animation.matrices + 9 * f;
      m[0] = m[4] = m[8] = 1.0f;
    }
  }
  return 0;
}

}  // namespace

int BuildJobDatabase(ConversionJob& job, ZvlDatabasePtr& database) {
  ZvlDatabasePtr db(ZvlCreateDatabase(0));
  if (!db) return ZvlFailure;
  db->version = ZvlVersionValue(ZvlFormatVersion::V7_2);
  if (ZvlSetDatabaseName(*db, job.databaseName.c_str()) != 0 ||
      ZvlSetSceneName(*db, job.databaseName.c_str()) != 0 ||
      ZvlSetPaletteName(*db, job.paletteName.c_str()) != 0)
    return ZvlFailure;
  if ((job.optionFlags & kMakePalette) && job.palette && ZvlSetPalette(*db, *job.palette) != 0)
    return ZvlFailure;
  if ((job.optionFlags & kHighColor) && job.colorTable && ZvlSetColorTable(*db, *job.colorTable) != 0)
    return ZvlFailure;
  const int32_t frames = (job.optionFlags & kMakeAnimation) && job.frameCount > 0 ? job.frameCount : 1;
  if (ZvlSetObjectCount(*db, job.objectCount) != 0 || ZvlAllocAnimation(*db, frames) != 0)
    return ZvlFailure;
  for (int32_t index = 0; index < job.objectCount; ++index) {
    std::unique_ptr<ConvertedObject> object = job.getObject ? job.getObject(index, job) : nullptr;
    if (!object) {
      ZvlSetError(msg::CantGetObjectData);
      return ZvlFailure;
    }
    const int stored = StoreObject(*db, index, *object, job.optionFlags);
    if (job.releaseObject) job.releaseObject(std::move(object));
    if (stored != 0) return ZvlFailure;
  }
  database = std::move(db);
  return 0;
}

int WriteConversionJob(ZvlHandle handle, ConversionJob& job) {
  ZvlDatabasePtr db;
  if (BuildJobDatabase(job, db) != 0) {
    job.errorText = ZvlGetErrorText();
    return ZvlFailure;
  }
  ZvlSetWriterVersion(ZvlFormatVersion::V7_2);
  if (ZvlWriteDatabase(handle, *db) != 0) {
    job.errorText = ZvlGetErrorText();
    return ZvlFailure;
  }
  return 0;
}

}  // namespace authoring
