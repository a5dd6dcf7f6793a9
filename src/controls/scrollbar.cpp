#include "controls/scrollbar.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace rt {

namespace {

// Qt's own value runs from 0 and is turned round when Min is the larger end, so a screen reader
// asking a plain QScrollBar would hear 925 for the number bar at 75. Assistive technology gets
// the bar's Value, Min and Max instead, and setting a value goes through setValue like any other.
class AccessibleScrollBar : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleScrollBar(ScrollBar *bar) : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QString::number(bar()->Value());
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return int(bar()->Value()); }
    QVariant minimumValue() const override { return int(std::min(bar()->Min(), bar()->Max())); }
    QVariant maximumValue() const override { return int(std::max(bar()->Min(), bar()->Max())); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

    void setCurrentValue(const QVariant &value) override
    {
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok || std::isnan(v))
            return;
        const double clamped = std::clamp(v, minimumValue().toDouble(), maximumValue().toDouble());
        bar()->setValue(static_cast<std::int16_t>(std::lround(clamped)));
    }

private:
    ScrollBar *bar() const { return static_cast<ScrollBar *>(object()); }
};

QAccessibleInterface *accessibleScrollBar(const QString &, QObject *object)
{
    if (auto *bar = qobject_cast<ScrollBar *>(object))
        return new AccessibleScrollBar(bar);
    return nullptr;
}

// Installed as the application starts, before any bar exists, so that no bar's interface is
// made and cached by Qt's own factory first.
void installAccessibleScrollBar()
{
    QAccessible::installFactory(accessibleScrollBar);
}
Q_COREAPP_STARTUP_FUNCTION(installAccessibleScrollBar)

} // namespace

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget *parent) : QScrollBar(orientation, parent)
{
    // The old runtime's scroll bars are tab stops and step by 1 either way unless told otherwise.
    setFocusPolicy(Qt::StrongFocus);
    setSingleStep(1);
    setPageStep(1);
    // Without tracking a drag only moves the thumb; the value follows once, when it ends.
    setTracking(false);
    applyRange();

    connect(this, &QAbstractSlider::valueChanged, this, [this](int q) {
        if (applying_)
            return;
        const std::int16_t v = fromQt(q);
        if (v == value_)
            return;
        value_ = v;
        emit change();
    });
    connect(this, &QAbstractSlider::sliderMoved, this, [this](int) { emit scroll(); });
}

std::int16_t ScrollBar::Value() const
{
    return isSliderDown() ? fromQt(sliderPosition()) : value_;
}

void ScrollBar::setMin(std::int16_t v)
{
    min_ = v;
    rangeChanged();
}

void ScrollBar::setMax(std::int16_t v)
{
    max_ = v;
    rangeChanged();
}

void ScrollBar::rangeChanged()
{
    // A value the new range leaves outside moves to its nearer end, and that is a change.
    const std::int16_t old = value_;
    value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
    if (!deferToNextFrame())
        applyRange();
    if (value_ != old)
        emit change();
}

void ScrollBar::setValue(std::int16_t v)
{
    // The old runtime refused a value outside the range; clamping keeps the bar usable and is
    // what its own arrows would have done at the ends.
    v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (v == value_)
        return;
    value_ = v;
    if (!deferToNextFrame()) {
        applying_ = true;
        QScrollBar::setValue(toQt(v));
        applying_ = false;
    }
    emit change();
}

void ScrollBar::applyRange()
{
    applying_ = true;
    QScrollBar::setRange(0, std::abs(int(max_) - int(min_)));
    QScrollBar::setValue(toQt(value_));
    applying_ = false;
}

std::int16_t ScrollBar::fromQt(int q) const
{
    return static_cast<std::int16_t>(min_ <= max_ ? min_ + q : min_ - q);
}

int ScrollBar::toQt(std::int16_t v) const
{
    return std::abs(int(v) - int(min_));
}

void ScrollBar::keyPressEvent(QKeyEvent *event)
{
    // Qt's scroll bars turn the keys round so that Up moves a vertical thumb up; that turns Left
    // and Right round too. Min is at Qt's 0 on both kinds of bar here.
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Left) {
            triggerAction(SliderSingleStepSub);
            return;
        }
        if (event->key() == Qt::Key_Right) {
            triggerAction(SliderSingleStepAdd);
            return;
        }
    }
    QScrollBar::keyPressEvent(event);
}

QRect ScrollBar::subControlRect(QStyle::SubControl control) const
{
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    return style()->subControlRect(QStyle::CC_ScrollBar, &opt, control, this);
}

} // namespace rt
