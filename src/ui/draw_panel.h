#pragma once

#include "render/draw_surface.h"

#include <QWidget>

// The drawing control of the window: a widget that owns a drawing surface and shows its raster.
// Everything drawn goes into the raster and the widget only copies the raster to the screen; it never
// erases itself. The raster is always as large as the panel in pixels (at least 1 x 1), whatever the
// screen's pixel ratio; on a dense screen a sharper picture of the same drawing may be shown instead
// until the raster next changes.
class DrawPanel : public QWidget
{
    Q_OBJECT
public:
    explicit DrawPanel(const QRect &geometry, Color backColor, QWidget *parent = nullptr);

    int Width() const { return width(); }
    int Height() const { return height(); }

    Color BackColor() const { return m_surface.BackColor(); }
    void setBackColor(Color color) { m_surface.setBackColor(color); }
    Color TextColor() const { return m_surface.TextColor(); }
    void setTextColor(Color color) { m_surface.setTextColor(color); }
    Color TextBackColor() const { return m_surface.TextBackColor(); }
    void setTextBackColor(Color color) { m_surface.setTextBackColor(color); }

    FontRecord Font() const { return m_surface.Font(); }
    bool hasStoredFont() const { return m_surface.hasStoredFont(); }
    void setFontAngle(qint64 tenths) { m_surface.setFontAngle(tenths); }
    void setFontBold(bool bold) { m_surface.setFontBold(bold); }
    void setFontItalic(bool italic) { m_surface.setFontItalic(italic); }
    void setFontStrikeOut(bool strikeOut) { m_surface.setFontStrikeOut(strikeOut); }
    void setFontUnderline(bool underline) { m_surface.setFontUnderline(underline); }
    void setFontSize(qint64 points);
    void setFontFaceName(const QString &name) { m_surface.setFontFaceName(name); }
    const QFont &drawingFont() const { return m_surface.drawingFont(); }

    void Clear() { m_surface.Clear(); }
    void WriteAt(int x, int y, const QString &text) { m_surface.WriteAt(x, y, text); }
    int TextWidth(const QString &text) const { return m_surface.TextWidth(text); }
    int TextHeight(const QString &text) const { return m_surface.TextHeight(text); }

    // Resizes the panel; the raster follows at once, keeping its top-left part.
    void Move(int width, int height);
    // Copies this panel's whole raster onto `target` with its top-left at (x, y), pixel for pixel.
    void Copy(DrawPanel &target, int x, int y) const;

    const QImage &raster() const { return m_surface.raster(); }
    DrawSurface &surface() { return m_surface; }
    // The resolution point sizes are converted with: the screen's, in logical dots per inch.
    double dpi() const;

    // Shows `picture` (drawn at the screen's pixel ratio, with that ratio set) in place of the raster
    // until the raster next changes. The raster itself is untouched.
    void showSharper(QImage picture);
    const QImage &sharperPicture() const { return m_sharper; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    DrawSurface m_surface;
    QImage m_sharper;
};
