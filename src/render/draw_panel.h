#pragma once

#include "render/font_record.h"

#include <QFontMetrics>
#include <QImage>
#include <QWidget>

#include <optional>

// Colours are 0x00BBGGRR: red in the low byte.
using Color = quint32;
// As a background: the desktop's button-face colour. As a text background: transparent.
inline constexpr Color kSpecialColor = 0xFF000000;
inline constexpr Color kBlack = 0x00000000;
inline constexpr Color kWhite = 0x00FFFFFF;

QColor colorFromBgr(Color color);

// A drawing surface whose picture is its backing raster. Everything drawn goes into the raster and
// the widget only copies the raster to the screen; it never erases itself. The raster is always as
// large as the panel in pixels (at least 1 x 1), whatever the screen's pixel ratio.
class DrawPanel : public QWidget
{
    Q_OBJECT
public:
    explicit DrawPanel(const QRect &geometry, Color backColor, QWidget *parent = nullptr);

    int Width() const { return width(); }
    int Height() const { return height(); }

    Color BackColor() const { return m_backColor; }
    // The same value again does nothing; a new one discards the picture for a fresh raster of that colour.
    void setBackColor(Color color);
    Color TextColor() const { return m_textColor; }
    void setTextColor(Color color) { m_textColor = color; }
    Color TextBackColor() const { return m_textBackColor; }
    void setTextBackColor(Color color) { m_textBackColor = color; }

    // The stored record, or the default GUI font's while none is stored.
    FontRecord Font() const;
    bool hasStoredFont() const { return m_font.has_value(); }
    void setFontAngle(qint64 tenths);
    void setFontBold(bool bold);
    void setFontItalic(bool italic);
    void setFontStrikeOut(bool strikeOut);
    void setFontUnderline(bool underline);
    void setFontSize(qint64 points);
    void setFontFaceName(const QString &name);
    const QFont &drawingFont() const { return m_drawingFont; }

    void Clear();
    // Draws `text` with the top-left of its character cell at (x, y), clipped to the panel.
    void WriteAt(int x, int y, const QString &text);
    int TextWidth(const QString &text) const;
    int TextHeight(const QString &text) const;

    // Resizes the panel; the raster follows at once, keeping its top-left part.
    void Move(int width, int height);
    // Copies this panel's whole raster onto `target` with its top-left at (x, y), pixel for pixel.
    void Copy(DrawPanel &target, int x, int y) const;

    const QImage &raster() const { return m_raster; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QColor resolvedBackColor() const;
    void followSize();
    template <typename Change>
    void writeFontMember(Change change);

    QImage m_raster;
    Color m_backColor;
    Color m_textColor = kBlack;
    Color m_textBackColor = kSpecialColor;
    std::optional<FontRecord> m_font;
    QFont m_drawingFont;
    QFontMetrics m_metrics;
};
