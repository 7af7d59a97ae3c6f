#include "render/draw_surface.h"

#include "render/text_run.h"

#include <QPainter>

namespace {

QImage filledRaster(QSize size, const QColor &color)
{
    QImage raster(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    raster.fill(color);
    return raster;
}

} // namespace

DrawSurface::DrawSurface(QSize size, Color backColor, double dpi, QColor buttonFace, QFont guiFont)
    : m_backColor(backColor)
    , m_dpi(dpi)
    , m_buttonFace(std::move(buttonFace))
    , m_guiFont(std::move(guiFont))
    , m_drawingFont(m_guiFont)
    , m_metrics(m_drawingFont)
{
    m_raster = filledRaster(size, resolvedBackColor());
}

QColor DrawSurface::resolvedBackColor() const
{
    return m_backColor == kSpecialColor ? m_buttonFace : colorFromBgr(m_backColor);
}

void DrawSurface::changed(const QRect &rect) const
{
    if (m_changed)
        m_changed(rect);
}

void DrawSurface::setBackColor(Color color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    m_raster = filledRaster(m_raster.size(), resolvedBackColor());
    changed();
}

FontRecord DrawSurface::Font() const
{
    return m_font ? *m_font : recordOf(m_guiFont, m_dpi);
}

template <typename Change>
void DrawSurface::writeFontMember(Change change)
{
    FontRecord record = Font();
    change(record);
    m_font = record;
    m_drawingFont = fontFromRecord(record, recordOf(m_guiFont, m_dpi).emPixels);
    m_metrics = QFontMetrics(m_drawingFont);
}

void DrawSurface::setFontAngle(qint64 tenths)
{
    writeFontMember([tenths](FontRecord &r) { r.angle = normalizedAngle(tenths); });
}

void DrawSurface::setFontBold(bool bold)
{
    writeFontMember([bold](FontRecord &r) { r.bold = bold; });
}

void DrawSurface::setFontItalic(bool italic)
{
    writeFontMember([italic](FontRecord &r) { r.italic = italic; });
}

void DrawSurface::setFontStrikeOut(bool strikeOut)
{
    writeFontMember([strikeOut](FontRecord &r) { r.strikeOut = strikeOut; });
}

void DrawSurface::setFontUnderline(bool underline)
{
    writeFontMember([underline](FontRecord &r) { r.underline = underline; });
}

void DrawSurface::setFontSize(qint64 points)
{
    const int pixels = pointsToPixels(points, m_dpi);
    writeFontMember([pixels](FontRecord &r) { r.emPixels = pixels; });
}

void DrawSurface::setFontFaceName(const QString &name)
{
    writeFontMember([face = storedFaceName(name)](FontRecord &r) { r.faceName = face; });
}

void DrawSurface::Clear()
{
    m_raster.fill(resolvedBackColor());
    changed();
}

void DrawSurface::WriteAt(int x, int y, const QString &text)
{
    if (text.isEmpty())
        return;
    QPainter painter(&m_raster);
    painter.setFont(m_drawingFont);
    if (m_textBackColor != kSpecialColor)
        painter.fillRect(QRect(x, y, TextWidth(text), m_metrics.height()), colorFromBgr(m_textBackColor));
    painter.setPen(colorFromBgr(m_textColor));
    const int angle = m_font ? m_font->angle : 0;
    if (angle == 0) {
        drawRun(painter, m_metrics, x, y + m_metrics.ascent(), text, m_raster.width());
    } else {
        // Rotated about the top-left of the cell, counter-clockwise for positive angles.
        painter.translate(x, y);
        painter.rotate(-angle / 10.0);
        drawRun(painter, m_metrics, 0, m_metrics.ascent(), text, std::nullopt);
    }
    painter.end();
    changed();
}

int DrawSurface::TextWidth(const QString &text) const
{
    return text.isEmpty() ? 0 : runWidth(m_metrics, text);
}

int DrawSurface::TextHeight(const QString &) const
{
    return m_metrics.height();
}

void DrawSurface::resize(QSize size)
{
    const QSize wanted = size.expandedTo(QSize(1, 1));
    if (m_raster.size() == wanted)
        return;
    QImage grown = filledRaster(wanted, resolvedBackColor());
    QPainter painter(&grown);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), m_raster);
    painter.end();
    m_raster = std::move(grown);
    changed();
}

void DrawSurface::Copy(DrawSurface &target, int x, int y) const
{
    QPainter painter(&target.m_raster);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(x, y), m_raster);
    painter.end();
    target.changed(QRect(QPoint(x, y), m_raster.size()));
}
