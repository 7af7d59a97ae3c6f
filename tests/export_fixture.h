#pragma once

#include "export/image_export.h"
#include "ui/preview.h"

#include <QImage>

// Export choices that reproduce the preview exactly.
inline ExportOptions asPreview(ExportFormat format, int scale)
{
    ExportOptions options;
    options.format = format;
    options.scale = scale;
    options.background = ExportBackground::AsPreview;
    options.ink.reset();
    return options;
}

// Black ink on a transparent background: the picture's alpha is the ink's coverage.
inline ExportOptions blackOnTransparent(int scale)
{
    ExportOptions options;
    options.scale = scale;
    options.background = ExportBackground::Transparent;
    options.ink = QColor(Qt::black);
    return options;
}

inline QList<TileJob> lastPreviewJobs()
{
    QList<TileJob> jobs;
    for (int k = 1; k <= 6; ++k)
        jobs.append(previewTileJob(k));
    return jobs;
}

// The bounds of the pixels whose alpha is above `threshold`; null when there are none.
inline QRect alphaBounds(const QImage &image, int threshold = 0)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QRect bounds;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) > threshold)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}
