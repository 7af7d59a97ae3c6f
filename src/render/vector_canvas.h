#pragma once

#include "render/draw_surface.h"

#include <QPainterPath>

#include <vector>

// A canvas that keeps the outlines of what is written instead of pixels. Fonts, measuring and the
// placement of each character are those of a raster surface of the same size and resolution, so an
// outline lies where the raster's glyph lies.
class VectorCanvas : public TileCanvas
{
public:
    struct Outline
    {
        QPainterPath path;
        Color color;
    };

    VectorCanvas(QSize size, double dpi, QFont guiFont);

    int Width() const override { return m_metricsSource.Width(); }
    int Height() const override { return m_metricsSource.Height(); }
    void setBackColor(Color color) override;
    void setTextColor(Color color) override { m_metricsSource.setTextColor(color); }
    void setFontFaceName(const QString &name) override { m_metricsSource.setFontFaceName(name); }
    void setFontSize(qint64 points) override { m_metricsSource.setFontSize(points); }
    void setFontBold(bool bold) override { m_metricsSource.setFontBold(bold); }
    void Clear() override { m_outlines.clear(); }
    void WriteAt(int x, int y, const QString &text) override;
    int TextWidth(const QString &text) const override { return m_metricsSource.TextWidth(text); }
    int TextHeight(const QString &text) const override { return m_metricsSource.TextHeight(text); }

    Color BackColor() const { return m_metricsSource.BackColor(); }
    const std::vector<Outline> &outlines() const { return m_outlines; }

private:
    DrawSurface m_metricsSource; // its raster is never drawn on
    std::vector<Outline> m_outlines;
};
