#include "render/text_run.h"

#include <QPainter>
#include <QTextBoundaryFinder>

namespace {

int advanceOf(const QFontMetrics &metrics, QStringView cluster)
{
    if (cluster.size() == 1)
        return metrics.horizontalAdvance(cluster.front());
    return metrics.horizontalAdvance(cluster.toString());
}

// Calls visit(cluster) for each grapheme cluster in order; stops when visit returns false.
template <typename Visit>
void forEachCluster(QStringView text, Visit visit)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = finder.toNextBoundary();
        if (end <= start) // no further boundary: the rest is one cluster
            end = text.size();
        if (!visit(text.mid(start, end - start)))
            return;
        start = end;
    }
}

bool isPlainBmpText(QStringView text)
{
    for (QChar c : text) {
        // Surrogates and combining marks need clusters; everything else is one character each.
        if (c.isSurrogate() || c.isMark() || c.unicode() == 0x200D)
            return false;
    }
    return true;
}

bool needsFullLayout(QStringView text)
{
    for (QChar c : text) {
        switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI: return true;
        default: break;
        }
    }
    return false;
}

} // namespace

int runWidth(const QFontMetrics &metrics, QStringView text)
{
    if (needsFullLayout(text))
        return metrics.horizontalAdvance(text.toString());
    qint64 width = 0;
    if (isPlainBmpText(text)) {
        for (QChar c : text)
            width += metrics.horizontalAdvance(c);
    } else {
        forEachCluster(text, [&](QStringView cluster) {
            width += advanceOf(metrics, cluster);
            return true;
        });
    }
    return static_cast<int>(std::clamp<qint64>(width, INT_MIN, INT_MAX));
}

void placeRun(const QFontMetrics &metrics, int x, int baseline, QStringView text, std::optional<int> clipRight,
              const PlaceCluster &place)
{
    if (needsFullLayout(text)) {
        place(QPointF(x, baseline), text.toString());
        return;
    }
    // Script faces reach well outside their advance boxes on both sides, so a cluster is only
    // skipped when it stands further than this from the visible area.
    const qint64 slack = 2 * qint64(metrics.height());
    qint64 penX = x;
    forEachCluster(text, [&](QStringView cluster) {
        if (clipRight && penX >= *clipRight + slack)
            return false;
        const int advance = advanceOf(metrics, cluster);
        if (!clipRight || penX + advance + slack > 0)
            place(QPointF(static_cast<qreal>(penX), baseline), cluster.toString());
        penX += advance;
        return true;
    });
}

void drawRun(QPainter &painter, const QFontMetrics &metrics, int x, int baseline, QStringView text,
             std::optional<int> clipRight)
{
    placeRun(metrics, x, baseline, text, clipRight,
             [&painter](QPointF origin, const QString &cluster) { painter.drawText(origin, cluster); });
}
