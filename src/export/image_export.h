#pragma once

#include "export/export_options.h"
#include "export/png_encoder.h"
#include "render/tile_renderer.h"

#include <QByteArray>
#include <QImage>
#include <QList>

// A picture of one tile (one job) or of the sheet (six jobs, two to a row) at the options' scale,
// background and ink, trimmed when asked. With the preview's colours at scale 1 it is exactly what
// the tiles' rasters hold. The resolution stored with it is 96 dpi times the scale.
QImage exportImage(const QList<TileJob> &jobs, bool inverted, const ExportOptions &options);

// The part of the picture that trimming keeps: the ink's bounds grown by the margin, or the whole
// picture when there is no ink.
QRect trimmedRect(const QImage &coverage, int margin);

// The bytes of the file for `options.format`; empty when the picture cannot be encoded.
QByteArray exportBytes(const QList<TileJob> &jobs, bool inverted, const ExportOptions &options);

// Coverage of the ink, 0 (none) to 255 (full), as a grey raster of the same layout.
QImage inkCoverage(const QList<TileJob> &jobs, double scale, bool withCaption);
// Dots per metre for 96 dpi times `scale`.
int dotsPerMetre(double scale);
// The margin trimming leaves around the ink: 4 % of the tile's height at `scale`.
int trimMargin(double scale);
// Tiles per row and rows for `tiles` tiles, and where tile `index` (0-based) goes.
QSize exportGrid(qsizetype tiles);
QPoint exportCellOrigin(qsizetype index, qsizetype tiles, QSize tile);
