#pragma once

#include "render/tile_canvas.h"

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <span>

// The faces the tiles ask for are commercial faces most desktops lack. Each gets an ordered list of
// free substitutes chosen to look like it and unlike the other tiles; the real face still wins
// wherever it is installed.
struct FaceSubstitution
{
    const char16_t *requested;
    QStringList substitutes;
    // The first substitute lacks characters the next ones have: they draw those.
    bool fillGaps = false;
};
std::span<const FaceSubstitution> faceSubstitutions();

// The font files that come with the program, and the family each holds.
struct BundledFace
{
    const char *family;
    const char *file;
};
std::span<const BundledFace> bundledFaces();

// The bundled font files present in the first folder that holds any, installed copy first.
QStringList bundledFontFiles();
// Registers the substitution table alone; a caller that loads fewer faces uses it with its own choice.
void installFaceSubstitutions();

// Registers the bundled font files (found beside the installed program or in the source tree; the
// environment variable SIGNATURE_FONTS_DIR names another folder, for tests of a broken install) and
// the substitution table. Files that are missing are named once on standard error. Returns how many
// font files were loaded.
int installTileFaces();
// The bundled files that the last installTileFaces could not load.
const QStringList &missingBundledFiles();

// "requested → drawn with" when a substitute drew the text, else just the requested face; when the
// face meant to stand in is a bundled file that is missing, the note says which.
QString faceDescription(const QString &requested, const QFont &font);

// What one tile shows: its caption, the face and size of its name, and the name.
struct TileJob
{
    QString caption;
    QString face;
    QString name;
    bool english = false; // the romanised name, at 28 points instead of 36
    bool withCaption = true;
    // A name wider than the tile less a margin of 8 pixels is drawn at the largest point size that
    // fits; off, a wide name is cut at both edges.
    bool shrinkToFit = false;
    friend bool operator==(const TileJob &, const TileJob &) = default;
};

inline constexpr QSize kTileSize(180, 100);
// The resolution point sizes are converted with at scale 1.
inline constexpr double kBaseDpi = 96.0;

// Tile k (1-based) of the six: tiles 1-4 show the Chinese name, 5 and 6 the romanised one.
TileJob tileJob(int k, const QString &caption, const QString &face, const QString &chinese, const QString &english);

// Draws one tile on `canvas`: cleared, in the colour scheme of `inverted` (white on black), the caption
// in the corner, the name (shrunk first if the job asks) centred with its offsets truncated toward zero. A canvas of s
// times the tile's size whose points are converted at s times the resolution draws the same tile at scale s.
void RenderTile(TileCanvas &canvas, const TileJob &job, bool inverted, double scale = 1.0);

// The tile drawn on a raster of its own at `scale` (at least 1 x 1).
QImage renderTileRaster(const TileJob &job, bool inverted, double scale, double baseDpi = kBaseDpi);
QSize scaledTileSize(double scale);
