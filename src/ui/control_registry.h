#pragma once

#include "app/globals.h"

#include <QObject>

// The lookup from a ControlRef to the live control. A control leaves the lookup when it is destroyed,
// so a reference to a closed window finds nothing.
void registerControl(ControlRef ref, QObject *control);
QObject *controlAt(ControlRef ref);

template <typename T>
T *controlAs(ControlRef ref)
{
    return qobject_cast<T *>(controlAt(ref));
}
