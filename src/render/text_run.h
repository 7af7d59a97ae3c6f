#pragma once

#include <QFontMetrics>
#include <QStringView>

#include <optional>

class QPainter;

// A text is laid out as a plain run of characters: each character (grapheme cluster) is placed at the
// sum of the advances before it, with no kerning and no ligatures between characters. Measuring and
// drawing both use this, so a centred name is centred on what is drawn.

int runWidth(const QFontMetrics &metrics, QStringView text);

// Draws `text` with its baseline starting at (x, baseline). With `clipRight` (the painter clips at 0 and
// there), characters that cannot reach the visible part are not drawn, so a very long text costs
// no more than what shows.
void drawRun(QPainter &painter, const QFontMetrics &metrics, int x, int baseline, QStringView text,
             std::optional<int> clipRight);
