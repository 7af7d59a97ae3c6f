#pragma once

#include "cli/cli_options.h"
#include "export/image_export.h"

#include <QByteArray>
#include <QImage>
#include <QList>

// Tile rasters drawn ahead of an export on several threads at once; exportBytes takes them through
// source(). Each thread also checks that its tiles needed no fallback font.
class TilesDrawnAhead
{
public:
    TilesDrawnAhead(const QList<TileRasterRequest> &requests, double scale, int threads);

    TileRasterSource source() const;
    // False when some character of a tile was drawn from a font other than the tile's face.
    bool covered() const { return m_covered; }

private:
    QList<TileRasterRequest> m_requests;
    QList<QImage> m_rasters;
    double m_scale;
    bool m_covered = true;
};

// The bytes of one output (the sheet or a tile) for the command line's names and choices.
QByteArray singleOutputBytes(const CliOptions &options, const QStringList &faces);

// Writes one output to options.output (standard output for "-"); the exit status.
int runSingleOutput(const CliOptions &options, const QStringList &faces);
