// One conversion as the program runs it with windows: the output file
// dialog, the ProgressBox while the scene is read, the UnitsDialog, then the
// ZorvelizationDialog over the conversion thread, the sheet hidden meanwhile.
#pragma once

#include "authoring/page_fields.h"

class QWidget;

namespace authoring {

// True when the output file was written. Empty required fields, a cancelled
// dialog or a failure (its message shown) give false.
bool RunWindowConversion(QWidget* owner, const PageFields& fields);

}  // namespace authoring
