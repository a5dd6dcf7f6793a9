#pragma once

#include <QAccessible>
#include <QEvent>
#include <QObject>
#include <QStringList>
#include <QWidget>

namespace support {

// What a screen reader hears of the window's results: the window's child with the notification
// role, each time it starts showing, says its name.
class Heard : public QObject {
public:
    explicit Heard(QWidget *window)
    {
        QAccessibleInterface *w = QAccessible::queryAccessibleInterface(window);
        for (int i = 0; i < w->childCount(); ++i)
            if (QAccessibleInterface *child = w->child(i); child->role() == QAccessible::Notification)
                notification = child;
        if (notification)
            notification->object()->installEventFilter(this);
    }
    QAccessibleInterface *notification = nullptr;
    QStringList said;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            said << notification->text(QAccessible::Name);
        return false;
    }
};

} // namespace support
