#include "export/image_export.h"

#include "export/bmp_encoder.h"
#include "export/png_encoder.h"
#include "export/svg_export.h"

#include <QPainter>

#include <cmath>

namespace {

QColor previewBack(bool inverted)
{
    return inverted ? QColor(Qt::black) : QColor(Qt::white);
}

QColor previewInk(bool inverted)
{
    return inverted ? QColor(Qt::white) : QColor(Qt::black);
}

// The tiles as the preview draws them, odd tiles left and even tiles right, row after row.
QImage composeTiles(const QList<TileJob> &jobs, bool inverted, double scale, bool withCaption)
{
    if (jobs.size() == 1) {
        TileJob job = jobs.front();
        job.withCaption = job.withCaption && withCaption;
        return renderTileRaster(job, inverted, scale);
    }
    const QSize tile = scaledTileSize(scale);
    const QSize grid = exportGrid(jobs.size());
    QImage picture(tile.width() * grid.width(), tile.height() * grid.height(), QImage::Format_RGB32);
    picture.fill(previewBack(inverted));
    QPainter painter(&picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (qsizetype i = 0; i < jobs.size(); ++i) {
        TileJob job = jobs[i];
        job.withCaption = job.withCaption && withCaption;
        painter.drawImage(exportCellOrigin(i, jobs.size(), tile), renderTileRaster(job, inverted, scale));
    }
    return picture;
}

QColor backgroundFor(const ExportOptions &options, bool inverted)
{
    switch (options.background) {
    case ExportBackground::AsPreview: return previewBack(inverted);
    case ExportBackground::White: return Qt::white;
    case ExportBackground::Black: return Qt::black;
    case ExportBackground::Transparent: break;
    }
    return Qt::transparent;
}

int mix(int from, int to, int coverage)
{
    return from + ((to - from) * coverage + (to > from ? 127 : -127)) / 255;
}

// Ink laid over the background by the coverage; with a transparent background the coverage becomes
// the ink's alpha, so the ink keeps its colour at every edge pixel. The picture is indexed by the
// coverage: 256 shades worked out once, one byte a pixel, which also makes the PNG a quarter the work.
QImage colourise(const QImage &coverage, const QColor &back, const QColor &ink)
{
    const bool transparent = back.alpha() == 0;
    QList<QRgb> shades(256);
    for (int c = 0; c < 256; ++c)
        shades[c] = transparent ? qRgba(ink.red(), ink.green(), ink.blue(), c)
                                : qRgb(mix(back.red(), ink.red(), c), mix(back.green(), ink.green(), c),
                                       mix(back.blue(), ink.blue(), c));
    QImage out(coverage.size(), QImage::Format_Indexed8);
    out.setColorTable(shades);
    const int width = coverage.width();
    for (int y = 0; y < coverage.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(coverage.constScanLine(y));
        uchar *line = out.scanLine(y);
        for (int x = 0; x < width; ++x)
            line[x] = static_cast<uchar>(qRed(in[x]));
    }
    return out;
}

QImage cropOnto(const QImage &picture, const QRect &rect, const QColor &back)
{
    if (rect == picture.rect())
        return picture;
    if (picture.format() == QImage::Format_Indexed8)
        return picture.copy(rect); // outside the picture is index 0: no ink, the background
    QImage out(rect.size(), picture.format());
    out.fill(back);
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(-rect.topLeft(), picture);
    return out;
}

} // namespace

QSize exportGrid(qsizetype tiles)
{
    const int count = static_cast<int>(std::max<qsizetype>(tiles, 1));
    return count == 1 ? QSize(1, 1) : QSize(2, (count + 1) / 2);
}

QPoint exportCellOrigin(qsizetype index, qsizetype tiles, QSize tile)
{
    if (tiles == 1)
        return {0, 0};
    return {static_cast<int>(index % 2) * tile.width(), static_cast<int>(index / 2) * tile.height()};
}

int dotsPerMetre(double scale)
{
    return static_cast<int>(std::lround(96.0 * scale / 0.0254));
}

int trimMargin(double scale)
{
    return static_cast<int>(std::lround(0.04 * scaledTileSize(scale).height()));
}

QImage inkCoverage(const QList<TileJob> &jobs, double scale, bool withCaption)
{
    return composeTiles(jobs, true, scale, withCaption);
}

QRect trimmedRect(const QImage &coverage, int margin)
{
    int left = coverage.width(), right = -1, top = coverage.height(), bottom = -1;
    for (int y = 0; y < coverage.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(coverage.constScanLine(y));
        for (int x = 0; x < coverage.width(); ++x) {
            if (qRed(line[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = y;
        }
    }
    if (right < 0)
        return coverage.rect();
    return QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-margin, -margin, margin, margin);
}

QImage exportImage(const QList<TileJob> &jobs, bool inverted, const ExportOptions &options)
{
    const double scale = options.scale;
    const QColor back = backgroundFor(options, inverted);
    const bool asPreview = options.background == ExportBackground::AsPreview && !options.ink;
    QImage coverage;
    if (!asPreview || options.trim)
        coverage = inkCoverage(jobs, scale, options.withCaption);
    QImage picture = asPreview ? composeTiles(jobs, inverted, scale, options.withCaption)
                               : colourise(coverage, back, options.ink.value_or(previewInk(inverted)));
    if (options.trim)
        picture = cropOnto(picture, trimmedRect(coverage, trimMargin(scale)), back);
    picture.setDotsPerMeterX(dotsPerMetre(scale));
    picture.setDotsPerMeterY(dotsPerMetre(scale));
    return picture;
}

QByteArray exportBytes(const QList<TileJob> &jobs, bool inverted, const ExportOptions &options)
{
    switch (options.format) {
    case ExportFormat::Png: return encodePng(exportImage(jobs, inverted, options));
    case ExportFormat::Svg: return exportSvg(jobs, inverted, options);
    case ExportFormat::Bmp: {
        // A bitmap has no alpha: a transparent background becomes the preview's.
        ExportOptions opaque = options;
        if (opaque.background == ExportBackground::Transparent)
            opaque.background = ExportBackground::AsPreview;
        return encodeBmp24(exportImage(jobs, inverted, opaque));
    }
    }
    return {};
}

QString suffixOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Png: return QStringLiteral("png");
    case ExportFormat::Svg: return QStringLiteral("svg");
    case ExportFormat::Bmp: return QStringLiteral("bmp");
    }
    return {};
}

std::optional<ExportFormat> formatForSuffix(const QString &suffix)
{
    for (ExportFormat format : {ExportFormat::Png, ExportFormat::Svg, ExportFormat::Bmp}) {
        if (suffix.compare(suffixOf(format), Qt::CaseInsensitive) == 0)
            return format;
    }
    return std::nullopt;
}
