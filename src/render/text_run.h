#pragma once

#include <QFontMetrics>
#include <QStringView>

#include <QPointF>

#include <functional>
#include <optional>

class QPainter;

// A text is laid out as a plain run of characters: each character (grapheme cluster) is placed at the
// sum of the advances before it, with no kerning and no ligatures between characters. Measuring and
// drawing both use this, so a centred name is centred on what is drawn.
//
// A text with right-to-left characters is the exception: drawn one by one in typed order, Hebrew
// would read backwards and Arabic letters would not join. Such a text is laid out whole, in visual
// order and shaped, and measured the same way.

int runWidth(const QFontMetrics &metrics, QStringView text);

// Draws `text` with its baseline starting at (x, baseline). With `clipRight` (the painter clips at 0 and
// there), characters that cannot reach the visible part are not drawn, so a very long text costs
// no more than what shows.
// Calls place(origin, cluster) for each cluster that drawRun would draw, with its baseline origin: the
// one layout that raster and vector output share.
using PlaceCluster = std::function<void(QPointF origin, const QString &cluster)>;
void placeRun(const QFontMetrics &metrics, int x, int baseline, QStringView text, std::optional<int> clipRight,
              const PlaceCluster &place);

void drawRun(QPainter &painter, const QFontMetrics &metrics, int x, int baseline, QStringView text,
             std::optional<int> clipRight);
