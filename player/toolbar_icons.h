// The toolbar's pictures, drawn by the program itself (16 x 15 pixels).
#pragma once

#include <QIcon>

namespace zvplay {

// The picture of a toolbar command; a null icon for a command without one.
QIcon ToolbarIcon(int commandId);

}  // namespace zvplay
