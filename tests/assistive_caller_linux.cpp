#include "assistive_caller.h"

#include <QDBusVirtualObject>

namespace {

// Qt's AT-SPI bridge is such an object.
class BusObject : public QDBusVirtualObject {
public:
    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &, const QDBusConnection &) override { return false; }
};

} // namespace

std::unique_ptr<QObject> MakeAssistiveCallReceiver()
{
    return std::make_unique<BusObject>();
}
