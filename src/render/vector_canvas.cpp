#include "render/vector_canvas.h"

#include "render/text_run.h"

VectorCanvas::VectorCanvas(QSize size, double dpi, QFont guiFont)
    : m_metricsSource(size, kWhite, dpi, Qt::white, std::move(guiFont))
{}

void VectorCanvas::setBackColor(Color color)
{
    if (color != m_metricsSource.BackColor())
        m_outlines.clear(); // a new background discards the picture, as on a raster
    m_metricsSource.setBackColor(color);
}

void VectorCanvas::WriteAt(int x, int y, const QString &text)
{
    if (text.isEmpty())
        return;
    const QFont &font = m_metricsSource.drawingFont();
    const QFontMetrics metrics(font);
    Outline outline{QPainterPath(), m_metricsSource.TextColor()};
    placeRun(metrics, x, y + metrics.ascent(), text, Width(),
             [&](QPointF origin, const QString &cluster) { outline.path.addText(origin, font, cluster); });
    if (!outline.path.isEmpty())
        m_outlines.push_back(std::move(outline));
}
