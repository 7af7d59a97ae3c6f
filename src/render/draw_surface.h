#pragma once

#include "render/font_record.h"
#include "render/tile_canvas.h"

#include <QFontMetrics>
#include <QImage>

#include <functional>
#include <optional>

// A drawing surface whose picture is its raster: colours, a font record and the four drawing
// operations, with no window behind it. The drawing panel of the window shows one; exports and the
// command line draw on their own. The raster is always at least 1 x 1.
class DrawSurface : public TileCanvas
{
public:
    // `dpi` turns point sizes into pixels; `buttonFace` is what kSpecialColor means as a background;
    // `guiFont` is the font drawn with while no font member has been written.
    DrawSurface(QSize size, Color backColor, double dpi, QColor buttonFace, QFont guiFont);

    int Width() const override { return m_raster.width(); }
    int Height() const override { return m_raster.height(); }

    Color BackColor() const { return m_backColor; }
    // The same value again does nothing; a new one discards the picture for a fresh raster of that colour.
    void setBackColor(Color color) override;
    Color TextColor() const { return m_textColor; }
    void setTextColor(Color color) override { m_textColor = color; }
    Color TextBackColor() const { return m_textBackColor; }
    void setTextBackColor(Color color) { m_textBackColor = color; }

    // The stored record, or the GUI font's while none is stored.
    FontRecord Font() const;
    bool hasStoredFont() const { return m_font.has_value(); }
    void setFontAngle(qint64 tenths);
    void setFontBold(bool bold) override;
    void setFontItalic(bool italic);
    void setFontStrikeOut(bool strikeOut);
    void setFontUnderline(bool underline);
    void setFontSize(qint64 points) override;
    void setFontFaceName(const QString &name) override;
    const QFont &drawingFont() const { return m_drawingFont; }
    // The resolution that point sizes written from now on are converted with.
    void setDpi(double dpi) { m_dpi = dpi; }

    void Clear() override;
    // Draws `text` with the top-left of its character cell at (x, y), clipped to the raster.
    void WriteAt(int x, int y, const QString &text) override;
    int TextWidth(const QString &text) const override;
    int TextHeight(const QString &text) const override;

    // Takes a new size; the raster keeps its top-left part and the rest is the background colour.
    void resize(QSize size);
    // Copies the whole raster onto `target` with its top-left at (x, y), pixel for pixel.
    void Copy(DrawSurface &target, int x, int y) const;

    const QImage &raster() const { return m_raster; }
    // Called with the part of the raster that changed, or an empty rect for all of it.
    void setChangeListener(std::function<void(const QRect &)> listener) { m_changed = std::move(listener); }

private:
    QColor resolvedBackColor() const;
    void changed(const QRect &rect = {}) const;
    template <typename Change>
    void writeFontMember(Change change);

    QImage m_raster;
    Color m_backColor;
    Color m_textColor = kBlack;
    Color m_textBackColor = kSpecialColor;
    double m_dpi;
    QColor m_buttonFace;
    QFont m_guiFont;
    std::optional<FontRecord> m_font;
    QFont m_drawingFont;
    QFontMetrics m_metrics;
    std::function<void(const QRect &)> m_changed;
};
