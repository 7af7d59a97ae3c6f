#pragma once

#include <QString>

// The face each tile is drawn in when the user has chosen one, and whether it shrinks a wide name.
// A chosen face is the tile's item of TileFonts, so everything that draws the tile follows it; the
// choice and the tick are remembered in the settings between runs. `tile` is 1-based.

// Where the program keeps its copies of the font files the user adds.
QString fontDataFolder();

// At start-up, once the tile lists are filled and before the first preview: the remembered faces
// (each font file loaded once) and ticks. A face whose file has gone, or a family no longer
// installed, leaves the tile its requested face, silently.
void applyRememberedTileFaces();

// `family`, from the program's copy `file` (empty for an installed family), for the tile.
void setTileFace(int tile, const QString &family, const QString &file);
// The tile's requested face again; the choice is forgotten.
void restoreTileFace(int tile);

bool tileShrinksToFit(int tile);
void setTileShrinksToFit(int tile, bool on);
