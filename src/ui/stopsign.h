#pragma once

#include <QPixmap>

namespace ui {

// The stop button's picture: a red octagonal stop sign with a white rim between two black
// outlines and the word STOP, on silver, 24 x 23 pixels. It holds only black, white, pure red
// and silver pixels, painted without antialiasing so that every platform shows the same picture.
QPixmap StopSignPixmap();

} // namespace ui
