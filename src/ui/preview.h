#pragma once

#include "render/tile_renderer.h"

// What the tiles were last drawn from. Exports and copies draw from these, so that they show what
// the tiles show even when the fields have been edited since.
struct PreviewInputs
{
    QString chinese;
    QString english;
    bool inverted = true;
};
const PreviewInputs &lastPreviewInputs();

// Tile k (1-based) as the last preview drew it, from the tile lists.
TileJob previewTileJob(int k);

// Redraws tile k alone from what the last preview drew it from, after its face or its shrinking changed.
void redrawTile(int k);

// Redraws all six tiles from the two names and the 反色 box, as they are now.
void RenderPreview();
