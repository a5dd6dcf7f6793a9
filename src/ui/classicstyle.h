#pragma once

#include <QProxyStyle>

namespace ui {

// Qt's Windows style, the classic look the window was designed in, changed in one thing: a text
// area with the focus shows it in its border, where the Windows style shows only a thin caret that
// a sighted keyboard user hardly finds.
class ClassicStyle : public QProxyStyle {
    Q_OBJECT
public:
    ClassicStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};

} // namespace ui
