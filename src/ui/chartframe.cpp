#include "ui/chartframe.h"

#include <QEvent>
#include <QFocusFrame>
#include <QPainter>
#include <QPointer>

namespace ui {

// A QFocusFrame, because accessibility leaves those out of the tree: the mark is no control.
class FocusMark : public QFocusFrame {
public:
    FocusMark(ChartFrame *frame, QWidget *parent) : QFocusFrame(parent), frame_(frame)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    QPointer<QWidget> canvas;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QRect marked;
        if (frame_->hasFocus())
            marked = rect();
        else if (canvas && canvas->hasFocus())
            marked = canvas->geometry().intersected(rect());
        if (marked.isEmpty())
            return;
        // A solid line in a dark shade of the selection colour, as the listing's border shows its
        // focus: the style's dotted focus line is lost among the chart's grid lines, and the light
        // selection colour on its cyan ground.
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight).darker(200), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(marked).adjusted(1.5, 1.5, -1.5, -1.5));
    }

private:
    ChartFrame *frame_;
};

ChartFrame::ChartFrame(QWidget *parent) : QFrame(parent), inner_(new QWidget(this)), mark_(new FocusMark(this, inner_))
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    // Filling its own ground keeps a change of the canvas from reaching the window behind it.
    inner_->setAutoFillBackground(true);
    inner_->setGeometry(contentsRect());
    mark_->setGeometry(inner_->rect());
}

void ChartFrame::showFocusOf(QWidget *canvas)
{
    mark_->canvas = canvas;
    canvas->installEventFilter(this);
    mark_->raise();
}

void ChartFrame::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    inner_->setGeometry(contentsRect());
    mark_->setGeometry(inner_->rect());
}

void ChartFrame::focusInEvent(QFocusEvent *event)
{
    QFrame::focusInEvent(event);
    mark_->update();
}

void ChartFrame::focusOutEvent(QFocusEvent *event)
{
    QFrame::focusOutEvent(event);
    mark_->update();
}

bool ChartFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mark_->canvas) {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Move:
        case QEvent::Resize:
            mark_->update();
            break;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace ui
