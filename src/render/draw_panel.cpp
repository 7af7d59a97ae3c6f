#include "render/draw_panel.h"

#include "render/text_run.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

namespace {

double verticalDpi(const QWidget &widget)
{
    const QScreen *screen = widget.screen();
    return screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
}

QImage filledRaster(QSize size, const QColor &color)
{
    QImage raster(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    raster.fill(color);
    return raster;
}

} // namespace

QColor colorFromBgr(Color color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

DrawPanel::DrawPanel(const QRect &geometry, Color backColor, QWidget *parent)
    : QWidget(parent)
    , m_backColor(backColor)
    , m_drawingFont(QApplication::font())
    , m_metrics(m_drawingFont)
{
    // The raster is the picture: nothing is erased before a repaint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(geometry);
    m_raster = filledRaster(size(), resolvedBackColor());
}

QColor DrawPanel::resolvedBackColor() const
{
    return m_backColor == kSpecialColor ? palette().color(QPalette::Button) : colorFromBgr(m_backColor);
}

void DrawPanel::setBackColor(Color color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    m_raster = filledRaster(size(), resolvedBackColor());
    update();
}

FontRecord DrawPanel::Font() const
{
    return m_font ? *m_font : recordOf(QApplication::font(), verticalDpi(*this));
}

template <typename Change>
void DrawPanel::writeFontMember(Change change)
{
    FontRecord record = Font();
    change(record);
    m_font = record;
    const int fallbackEm = recordOf(QApplication::font(), verticalDpi(*this)).emPixels;
    m_drawingFont = fontFromRecord(record, fallbackEm);
    m_metrics = QFontMetrics(m_drawingFont);
}

void DrawPanel::setFontAngle(qint64 tenths)
{
    writeFontMember([tenths](FontRecord &r) { r.angle = normalizedAngle(tenths); });
}

void DrawPanel::setFontBold(bool bold)
{
    writeFontMember([bold](FontRecord &r) { r.bold = bold; });
}

void DrawPanel::setFontItalic(bool italic)
{
    writeFontMember([italic](FontRecord &r) { r.italic = italic; });
}

void DrawPanel::setFontStrikeOut(bool strikeOut)
{
    writeFontMember([strikeOut](FontRecord &r) { r.strikeOut = strikeOut; });
}

void DrawPanel::setFontUnderline(bool underline)
{
    writeFontMember([underline](FontRecord &r) { r.underline = underline; });
}

void DrawPanel::setFontSize(qint64 points)
{
    const int pixels = pointsToPixels(points, verticalDpi(*this));
    writeFontMember([pixels](FontRecord &r) { r.emPixels = pixels; });
}

void DrawPanel::setFontFaceName(const QString &name)
{
    writeFontMember([face = storedFaceName(name)](FontRecord &r) { r.faceName = face; });
}

void DrawPanel::Clear()
{
    m_raster.fill(resolvedBackColor());
    update();
}

void DrawPanel::WriteAt(int x, int y, const QString &text)
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
    update();
}

int DrawPanel::TextWidth(const QString &text) const
{
    return text.isEmpty() ? 0 : runWidth(m_metrics, text);
}

int DrawPanel::TextHeight(const QString &) const
{
    return m_metrics.height();
}

void DrawPanel::Move(int newWidth, int newHeight)
{
    if (QSize(newWidth, newHeight) == size())
        return;
    resize(std::max(0, newWidth), std::max(0, newHeight));
    followSize(); // a hidden widget gets its resize event only when shown
}

void DrawPanel::Copy(DrawPanel &target, int x, int y) const
{
    if (width() <= 0 || height() <= 0)
        return;
    QPainter painter(&target.m_raster);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(x, y), m_raster, QRect(QPoint(0, 0), size()));
    painter.end();
    target.update(QRect(QPoint(x, y), size()));
}

void DrawPanel::followSize()
{
    const QSize wanted = size().expandedTo(QSize(1, 1));
    if (m_raster.size() == wanted)
        return;
    QImage grown = filledRaster(wanted, resolvedBackColor());
    QPainter painter(&grown);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), m_raster);
    painter.end();
    m_raster = std::move(grown);
    update();
}

void DrawPanel::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect damaged = event->rect();
    painter.drawImage(damaged, m_raster, damaged);
}

void DrawPanel::resizeEvent(QResizeEvent *)
{
    followSize();
}
