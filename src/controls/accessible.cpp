#include "controls/accessible.h"

#include "controls/accessible_lineedit.h"

#include <QAccessibleWidget>
#include <QLineEdit>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace rt {

namespace {

const char *const RoleProperty = "rt_accessibleRole";

// Qt's own accessible object for a widget, with the role the program gave it.
class RoleWidget : public QAccessibleWidget {
public:
    RoleWidget(QWidget *widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        // A drawing surface or a group that takes the focus says so, as a button would.
        if (widget()->focusPolicy() != Qt::NoFocus)
            s.focusable = true;
        return s;
    }
};

QAccessibleInterface *roleFactory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    const QVariant role = widget->property(RoleProperty);
    if (!role.isValid())
        return LineEditAccessibleFor(object);
    return new RoleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
}

} // namespace

void SetAccessibleRole(QWidget *widget, QAccessible::Role role)
{
    widget->setProperty(RoleProperty, static_cast<int>(role));
}

void SetAccessibleLabel(QLineEdit *label, QLineEdit *target)
{
    target->setProperty(LabelledByProperty, QVariant::fromValue(QPointer<QWidget>(label)));
    label->setProperty(LabelForProperty, QVariant::fromValue(QPointer<QWidget>(target)));
}

void InstallAccessibleRoles()
{
    // Installed last, asked first: before Qt's factory for widgets, which knows only the class.
    QAccessible::removeFactory(roleFactory);
    QAccessible::installFactory(roleFactory);
}

} // namespace rt
