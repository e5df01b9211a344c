// The process-wide user-data hooks shared by the reader and the writer.
#pragma once

#include "zvlfile/zvlformat.h"

namespace zvl::detail {
UserDataReader& userDataReader();
UserDataWriter& userDataWriter();
}  // namespace zvl::detail
