#include "ui/classicstyle.h"

#include <QAbstractScrollArea>
#include <QPainter>
#include <QPixmapCache>
#include <QStyleFactory>
#include <QStyleOption>

namespace ui {

ClassicStyle::ClassicStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows")))
{
}

void ClassicStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    const bool scrollBarPart =
        element == CE_ScrollBarAddPage || element == CE_ScrollBarSubPage || element == CE_ScrollBarSlider;
    const QRect r = option->rect;
    if (!scrollBarPart || r.isEmpty() || painter->deviceTransform().type() > QTransform::TxTranslate
        || !qFuzzyCompare(painter->device()->devicePixelRatioF(), 1.0)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The trough's checker pattern keeps its phase to the widget, so the phase belongs to the key.
    const QString key = QStringLiteral("summenleiter-scrollbar-%1-%2x%3-%4-%5-%6")
                            .arg(int(element))
                            .arg(r.width())
                            .arg(r.height())
                            .arg(int(option->state))
                            .arg(option->palette.cacheKey())
                            .arg((r.x() + r.y()) & 1);
    QPixmap part;
    if (!QPixmapCache::find(key, &part)) {
        part = QPixmap(r.size());
        // Opaque, so that the blit is a plain copy: these parts cover their whole rectangle.
        part.fill(option->palette.window().color());
        QPainter p(&part);
        p.translate(-r.topLeft());
        p.setBrushOrigin(0, 0);
        QProxyStyle::drawControl(element, option, &p, widget);
        p.end();
        QPixmapCache::insert(key, part);
    }
    painter->drawPixmap(r.topLeft(), part);
}

void ClassicStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                 const QWidget *widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element != PE_Frame || !(option->state & State_HasFocus) || !qobject_cast<const QAbstractScrollArea *>(widget))
        return;
    // The sunken border's two lines in the selection colour.
    painter->save();
    painter->setPen(QPen(option->palette.color(QPalette::Highlight), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option->rect).adjusted(1, 1, -1, -1));
    painter->restore();
}

} // namespace ui
