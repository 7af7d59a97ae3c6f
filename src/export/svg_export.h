#pragma once

#include "export/export_options.h"
#include "render/tile_renderer.h"

#include <QByteArray>
#include <QList>

// The tiles as an SVG document whose glyphs are outlines (no text, no font names), laid out exactly
// as the raster export at the same options, with a physical size that matches its 96 dpi x scale.
QByteArray exportSvg(const QList<TileJob> &jobs, bool inverted, const ExportOptions &options);
