#pragma once

#include <QColor>
#include <QtGlobal>

// Colours are 0x00BBGGRR: red in the low byte.
using Color = quint32;
// As a background: the desktop's button-face colour. As a text background: transparent.
inline constexpr Color kSpecialColor = 0xFF000000;
inline constexpr Color kBlack = 0x00000000;
inline constexpr Color kWhite = 0x00FFFFFF;

inline QColor colorFromBgr(Color color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}
