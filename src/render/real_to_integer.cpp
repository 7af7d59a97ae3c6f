#include "render/real_to_integer.h"

#include <cmath>

qint64 RealToInteger(double value)
{
    return static_cast<qint64>(std::trunc(value));
}

int low32(qint64 value)
{
    return static_cast<int>(static_cast<qint32>(static_cast<quint32>(static_cast<quint64>(value))));
}
