#pragma once

#include <QtGlobal>

// The one conversion from a real to an integer: the fraction is dropped, toward zero.
qint64 RealToInteger(double value);
// Where a converted real serves as a 32-bit integer, its low 32 bits are taken.
int low32(qint64 value);
