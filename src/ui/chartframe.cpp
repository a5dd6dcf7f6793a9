#include "ui/chartframe.h"

namespace ui {

ChartFrame::ChartFrame(QWidget *parent) : QFrame(parent), inner_(new QWidget(this))
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    // Filling its own ground keeps a change of the canvas from reaching the window behind it.
    inner_->setAutoFillBackground(true);
    inner_->setGeometry(contentsRect());
}

void ChartFrame::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    inner_->setGeometry(contentsRect());
}

} // namespace ui
