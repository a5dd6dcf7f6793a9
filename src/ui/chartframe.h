#pragma once

#include <QFrame>

namespace ui {

class FocusMark;

// The chart frame: a sunken frame whose children live in an inner area inside the border, so that
// a canvas much wider than the frame is clipped at the border rather than painted over it.
//
// The frame and the canvas inside it both take the focus, and neither draws it of its own: the
// frame is covered by its inner area, the canvas shows only a slice of itself. A mark above both
// draws a focus rectangle round the inner area while the frame has the focus, and round the
// canvas's visible slice while the canvas has it.
class ChartFrame : public QFrame {
    Q_OBJECT
public:
    explicit ChartFrame(QWidget *parent = nullptr);
    QWidget *inner() const { return inner_; }
    // The canvas whose focus the frame shows; call once the inner area holds all its children.
    void showFocusOf(QWidget *canvas);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *inner_;
    FocusMark *mark_;
};

} // namespace ui
