#include "ui/control_registry.h"

#include <QHash>
#include <QPointer>

namespace {

quint64 key(ControlRef ref)
{
    return (quint64(ref.window) << 32) | ref.control;
}

// QPointer forgets a control when it is destroyed.
QHash<quint64, QPointer<QObject>> &registry()
{
    static QHash<quint64, QPointer<QObject>> controls;
    return controls;
}

} // namespace

void registerControl(ControlRef ref, QObject *control)
{
    registry().insert(key(ref), control);
}

QObject *controlAt(ControlRef ref)
{
    return registry().value(key(ref)).data();
}
