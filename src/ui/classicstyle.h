#pragma once

#include <QProxyStyle>

namespace ui {

// Qt's Windows style, the classic look the window was designed in, changed in how it paints the
// parts of a scroll bar: each is drawn once by the Windows style into a cached pixmap and blitted
// from there. Drawn directly, every tall part (the listing's thumb and trough) is filled span by
// span over the GUI thread pool, and a forward search repaints the listing's scroll bar for every
// candidate. And a text area with the focus shows it in its border, where the Windows style shows
// only a thin caret that a sighted keyboard user hardly finds.
class ClassicStyle : public QProxyStyle {
    Q_OBJECT
public:
    ClassicStyle();

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};

} // namespace ui
