#pragma once

#include "cli/cli_options.h"
#include "render/tile_renderer.h"

#include <QList>
#include <QString>
#include <QStringList>

// The faces of the six tiles: the window's, each replaced by a --face choice. A choice naming an
// existing file loads that file and takes its family; `error` says which could not be loaded.
struct TileFaces
{
    QStringList faces;
    QString error;
};
TileFaces chooseTileFaces(const QList<FaceChoice> &choices);

// The tiles of one output: the sheet (tile 0) or one tile, for the names given.
QList<TileJob> outputJobs(const QStringList &faces, int tile, const QString &chinese, const QString &english);

// Loads, of the bundled font files, only those that the faces of `jobs` and the captions' face are
// drawn in, found by the same choice the window makes with all of them loaded (the face where it is
// installed, else its first installed substitute). Returns false when some face has no installed
// family at all; the font system then picks one from all fonts, so they are loaded as the window
// loads them (resetToWindowFaces).
bool installFacesFor(const QList<TileJob> &jobs);
// Unloads every added font and loads them again as the window does: all bundled files, then the
// files chosen with --face. Where a character falls back to another font, which one depends on the
// fonts loaded and their order, so a tile with such a character is drawn only after this.
void resetToWindowFaces();

// Whether every character of the tile is drawn from the face the tile asks for (or its chosen
// substitute), so that no other installed font can change its pixels. Looks at the tile's faces
// without ever asking for a fallback font; cheap on the thread that then draws the tile.
bool drawnWithoutFallback(const TileJob &job, bool inverted, double scale);
