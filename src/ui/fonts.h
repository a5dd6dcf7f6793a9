#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace ui {

// The families tried, in order, for a font the window was designed with. The designed faces are
// Windows fonts; each list goes on with the desktop's faces of the same widths, so that the
// fixed layout still holds its captions, and never leaves the choice to the system's generic
// families (which on a bare system may be a monospace face).
QStringList FontFamilies(const QString &designed);

// A designed font: its family list, size in points and weight.
QFont DesignedFont(const QString &family, double points, bool bold = false);

// The font of the controls and the canvas that have no designed font of their own.
QFont DefaultControlFont();

} // namespace ui
