#include "controls/canvas.h"

#include "rules/numrules.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>

namespace rt {

namespace {

// A chart prints short ASCII pieces for every bar; those are copied as they stand, without the
// buffer a conversion through QByteArray allocates.
std::string toUtf8(const QString &text)
{
    std::string ascii;
    ascii.reserve(std::size_t(text.size()));
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return text.toStdString();
        ascii.push_back(char(c.unicode()));
    }
    return ascii;
}

} // namespace

PrintItem::PrintItem(const QString &t) : Piece(toUtf8(t))
{
}

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

void Canvas::Cls()
{
    image_.Cls(keeper());
    changed();
}

void Canvas::Scale(double x1, double y1, double x2, double y2)
{
    // Rescaled records stay where they were drawn, so nothing needs painting again.
    image_.Scale(x1, y1, x2, y2, keeper());
}

void Canvas::Line(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    if (image_.Line(x1, y1, x2, y2, colour, keeper()))
        changed();
}

void Canvas::VerticalLines(double first, double last, double y1, double y2, std::int32_t colour)
{
    if (image_.VerticalLines(first, last, y1, y2, colour, keeper()))
        changed();
}

void Canvas::LineBox(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    if (image_.LineBox(x1, y1, x2, y2, colour, keeper()))
        changed();
}

void Canvas::Print(const QString &text)
{
    if (!text.isEmpty() && image_.Print(toUtf8(text), keeper()))
        changed();
}

void Canvas::Print(std::initializer_list<PrintItem> items)
{
    if (image_.PrintRange(items.begin(), items.end(), keeper()))
        changed();
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

Canvas::PixelMap Canvas::pixelMap(const CanvasImage &image) const
{
    const CanvasImage::Corners &s = image.recordScale();
    return {s.x1, s.y1, width() / (s.x2 - s.x1), height() / (s.y2 - s.y1)};
}

bool Canvas::textReachesArea(const Record &text) const
{
    return textReachesArea(image_, text, pixelMap(image_));
}

bool Canvas::textReachesArea(const CanvasImage &image, const Record &text, const PixelMap &map) const
{
    // How far it reaches depends on the canvas's size in pixels; without one it is kept.
    if (width() <= 0 || height() <= 0)
        return true;
    // No character is wider than the widest; measuring the text itself would shape it.
    return map.x(text.x1) + double(charWidth_) * labelText(image, text).size() >= 0.0
        && map.y(text.y1) + double(lineHeight_) >= 0.0;
}

QString Canvas::labelText(const CanvasImage &image, const Record &text)
{
    return QString::fromStdString(image.labelText(text));
}

CanvasImage::BeforeChange Canvas::keeper()
{
    return {[](void *canvas) { static_cast<Canvas *>(canvas)->keepFrame(); }, this};
}

void Canvas::keepFrame()
{
    if (!widgetLags() && deferToNextFrame())
        frame_ = image_;
}

void Canvas::changed()
{
    // A pass records thousands of operations; one pending update covers them all.
    if (updatePending_ || widgetLags())
        return;
    updatePending_ = true;
    update();
}

void Canvas::showValues()
{
    if (!updatePending_) {
        updatePending_ = true;
        update();
    }
}

} // namespace rt
