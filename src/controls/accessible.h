#pragma once

#include <QAccessible>

class QLineEdit;
class QWidget;

namespace rt {

// Gives a widget the accessible role a screen reader needs where Qt's choice for the widget's class
// misleads it: a plain QFrame reaches AT-SPI as a frame, the role of a top-level window, and a
// screen reader that finds an inactive "window" around the focus stays silent; a plain QWidget
// window or drawing surface comes out as a filler with no role to speak.
void SetAccessibleRole(QWidget *widget, QAccessible::Role role);

// Says that the single-line text box `label` is the caption of the text box `target`: the target is
// labelled by it. (Qt relates only a QLabel to its buddy.)
void SetAccessibleLabel(QLineEdit *label, QLineEdit *target);

// Makes every widget given a role above answer with it, and every QLineEdit with an accessible
// object of the program's own. Call before the first
// accessible object of such a widget is made, that is, before the widget is shown; calling it
// again does no harm.
void InstallAccessibleRoles();

} // namespace rt
