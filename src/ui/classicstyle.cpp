#include "ui/classicstyle.h"

#include <QAbstractScrollArea>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace ui {

ClassicStyle::ClassicStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows")))
{
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
