#include "controls/canvas.h"

#include "rules/numrules.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>

namespace rt {

Canvas::Canvas(QWidget *parent) : QWidget(parent)
{
    // Every exposed pixel is painted, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    measureFont();
}

void Canvas::measureFont()
{
    const QFontMetrics fm(font());
    charWidth_ = fm.maxWidth();
    lineHeight_ = fm.height();
}

QColor Canvas::toQColor(std::int32_t colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

void Canvas::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        measureFont();
    QWidget::changeEvent(event);
}

CanvasImage &Canvas::draw()
{
    // A pass makes thousands of drawing calls; one frame covers them all.
    if (!deferToNextFrame())
        askForFrame();
    return image_;
}

void Canvas::askForFrame()
{
    if (!updatePending_) {
        updatePending_ = true;
        update();
    }
}

void Canvas::setBackColor(std::int32_t c)
{
    backColor_ = c;
    update();
}

CanvasLook Canvas::look() const
{
    const QFontInfo drawn(font());
    const QFontMetricsF metrics(font());
    CanvasLook look;
    look.width = width();
    look.height = height();
    look.backColour = backColor_;
    // The face the canvas draws in, then what a viewer without it should take instead.
    const QString generic = font().styleHint() == QFont::Serif ? QStringLiteral("serif") : QStringLiteral("sans-serif");
    look.fontFamily = (QLatin1Char('\'') + drawn.family() + QStringLiteral("', ") + generic).toStdString();
    look.fontPixelSize = drawn.pointSizeF() * logicalDpiY() / 72.0;
    look.bold = drawn.bold();
    look.ascent = metrics.ascent();
    return look;
}

Canvas::PixelMap Canvas::pixelMap() const
{
    const CanvasImage::Corners &s = image_.recordScale();
    return {s.x1, s.y1, width() / (s.x2 - s.x1), height() / (s.y2 - s.y1)};
}

bool Canvas::textReachesArea(const Record &text) const
{
    return textReachesArea(text, pixelMap());
}

bool Canvas::textReachesArea(const Record &text, const PixelMap &map) const
{
    // How far it reaches depends on the canvas's size in pixels; without one it is kept.
    if (width() <= 0 || height() <= 0)
        return true;
    // No character is wider than the widest; measuring the text itself would shape it.
    return map.x(text.x1) + double(charWidth_) * labelText(text).size() >= 0.0
        && map.y(text.y1) + double(lineHeight_) >= 0.0;
}

QString Canvas::labelText(const Record &text) const
{
    return QString::fromStdString(image_.labelText(text));
}

void Canvas::showValues()
{
    askForFrame();
}

} // namespace rt
