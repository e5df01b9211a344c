// The whole-scene conversion. Placeholder until the engine lands: it refuses
// to convert rather than write an empty database.
#include "voxelize/conversion_host.h"

int ConversionHost::Convert(ZorvelDatabase&) {
  ReportError("Conversion engine not available");
  return -1;
}
