#pragma once

#include <QIcon>

namespace ui {

// Application-wide settings of the program: the classic style its window was designed in (it is
// also the cheapest to paint, which a forward search does for every candidate), and the desktop
// entry that names its icon. Call once after the QApplication exists.
void PrepareApplication();

// The window's icon, in the sizes built into the program's resources.
QIcon AppIcon();

} // namespace ui
