#pragma once

#include <QFrame>

namespace ui {

// The chart frame: a sunken frame whose children live in an inner area inside the border, so that
// a canvas much wider than the frame is clipped at the border rather than painted over it.
class ChartFrame : public QFrame {
    Q_OBJECT
public:
    explicit ChartFrame(QWidget *parent = nullptr);
    QWidget *inner() const { return inner_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *inner_;
};

} // namespace ui
