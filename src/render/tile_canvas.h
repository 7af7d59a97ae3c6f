#pragma once

#include "render/color.h"

#include <QString>

// What the tile algorithm draws on: a raster surface for the preview and the bitmaps, or a recorder
// of outlines for vector output. Every tile is drawn through this one sequence of calls, so all
// outputs show the same layout.
class TileCanvas
{
public:
    virtual ~TileCanvas() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void setBackColor(Color color) = 0;
    virtual void setTextColor(Color color) = 0;
    virtual void setFontFaceName(const QString &name) = 0;
    virtual void setFontSize(qint64 points) = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual void Clear() = 0;
    virtual void WriteAt(int x, int y, const QString &text) = 0;
    virtual int TextWidth(const QString &text) const = 0;
    virtual int TextHeight(const QString &text) const = 0;
};
