#include "export/svg_export.h"

#include "export/image_export.h"
#include "render/vector_canvas.h"

#include <QGuiApplication>

namespace {

QByteArray number(double value)
{
    QByteArray text = QByteArray::number(value, 'f', 2);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text == "-0" ? QByteArray("0") : text;
}

QByteArray hexColor(const QColor &color)
{
    return color.name(QColor::HexRgb).toLatin1();
}

QByteArray pathData(const QPainterPath &path, QPointF offset)
{
    QByteArray d;
    d.reserve(path.elementCount() * 16);
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QPointF p = QPointF(e.x, e.y) + offset;
        switch (e.type) {
        case QPainterPath::MoveToElement: d += 'M'; break;
        case QPainterPath::LineToElement: d += 'L'; break;
        case QPainterPath::CurveToElement: d += 'C'; break;
        case QPainterPath::CurveToDataElement: d += ' '; break;
        }
        d += number(p.x()) + ' ' + number(p.y());
    }
    return d;
}

QByteArray rect(const QRect &r)
{
    return "x=\"" + QByteArray::number(r.x()) + "\" y=\"" + QByteArray::number(r.y()) + "\" width=\"" +
           QByteArray::number(r.width()) + "\" height=\"" + QByteArray::number(r.height()) + '"';
}

// Millimetres for `pixels` at 96 dpi x scale: the size a printer gives the PNG of the same options.
QByteArray millimetres(int pixels, double scale)
{
    return number(pixels / (96.0 * scale) * 25.4) + "mm";
}

// One tile's outlines, clipped to the tile as the raster is.
QByteArray tileOutlines(const TileJob &job, bool inverted, const ExportOptions &options, QRect cell)
{
    const double scale = options.scale;
    VectorCanvas canvas(cell.size(), kBaseDpi * scale, QGuiApplication::font());
    TileJob drawn = job;
    drawn.withCaption = job.withCaption && options.withCaption;
    RenderTile(canvas, drawn, inverted, scale);
    QByteArray out;
    QPainterPath tileArea;
    tileArea.addRect(QRectF(QPointF(0, 0), cell.size()));
    for (const VectorCanvas::Outline &outline : canvas.outlines()) {
        // Clipped here rather than with an SVG clip path, which the simpler SVG readers ignore.
        QPainterPath path = outline.path;
        path.setFillRule(Qt::WindingFill); // glyph outlines are drawn by the non-zero rule
        if (!tileArea.boundingRect().contains(path.boundingRect()))
            path = path.intersected(tileArea);
        if (path.isEmpty())
            continue;
        const QColor ink = options.ink.value_or(colorFromBgr(outline.color));
        out += "<path fill=\"" + hexColor(ink) + "\" d=\"" + pathData(path, cell.topLeft()) + "\"/>\n";
    }
    return out;
}

} // namespace

QByteArray exportSvg(const QList<TileJob> &jobs, bool inverted, const ExportOptions &options)
{
    const double scale = options.scale;
    const QSize tile = scaledTileSize(scale);
    const QSize grid = exportGrid(jobs.size());
    QRect view(0, 0, tile.width() * grid.width(), tile.height() * grid.height());
    if (options.trim)
        view = trimmedRect(inkCoverage(jobs, scale, options.withCaption), trimMargin(scale));

    QByteArray svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
                     millimetres(view.width(), scale) + "\" height=\"" + millimetres(view.height(), scale) +
                     "\" viewBox=\"" + QByteArray::number(view.x()) + ' ' + QByteArray::number(view.y()) + ' ' +
                     QByteArray::number(view.width()) + ' ' + QByteArray::number(view.height()) + "\">\n";
    if (options.background != ExportBackground::Transparent) {
        const QColor back = options.background == ExportBackground::White   ? QColor(Qt::white)
                            : options.background == ExportBackground::Black ? QColor(Qt::black)
                            : inverted                                      ? QColor(Qt::black)
                                                                            : QColor(Qt::white);
        svg += "<rect " + rect(view) + " fill=\"" + hexColor(back) + "\"/>\n";
    }
    for (qsizetype i = 0; i < jobs.size(); ++i) {
        const QRect cell(exportCellOrigin(i, jobs.size(), tile), tile);
        svg += tileOutlines(jobs[i], inverted, options, cell);
    }
    return svg + "</svg>\n";
}
