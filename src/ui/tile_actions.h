#pragma once

class QWidget;

// What the tiles' menu does, each with the tiles as the last preview drew them. `tile` is 1-based.

// Puts the tile on the clipboard as PNG (with alpha) and as an image, at the last export choices.
void copyTileImage(int tile);
// Asks how and where, then writes the file; a failure keeps the old file and shows the warning.
void exportTileImage(int tile, QWidget *owner);
void exportWholeSheet(QWidget *owner);

// Asks for the tile's face (see FontDialog) and redraws the tile in it.
void chooseTileFace(int tile, QWidget *owner);
// Ticks or unticks the tile's shrink to fit and redraws the tile.
void setTileShrinking(int tile, bool on);
