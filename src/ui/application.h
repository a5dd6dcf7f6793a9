#pragma once

#include <QIcon>

namespace ui {

// Application-wide settings of the program: the classic style its window was designed in (it is
// also the cheapest to paint, which every slice of a search does once), the faces it brings where
// the platform has none, Qt's German texts, and the desktop entry that names its icon. Call once
// after the QApplication exists.
void PrepareApplication();

// main's last step once the window is gone: returns the exit code, or ends the process there on a
// desktop whose windowing client could hang as it is taken down.
int LeaveApplication(int code);

// The window's icon, in the sizes built into the program's resources.
QIcon AppIcon();

} // namespace ui
