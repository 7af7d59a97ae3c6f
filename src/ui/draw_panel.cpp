#include "ui/draw_panel.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

namespace {

double screenDpi(const QWidget &widget)
{
    const QScreen *screen = widget.screen();
    return screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
}

} // namespace

DrawPanel::DrawPanel(const QRect &geometry, Color backColor, QWidget *parent)
    : QWidget(parent)
    , m_surface(geometry.size(), backColor, 96.0, QApplication::palette().color(QPalette::Button), QApplication::font())
{
    // The raster is the picture: nothing is erased before a repaint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(geometry);
    m_surface.setDpi(dpi());
    m_surface.setChangeListener([this](const QRect &rect) {
        m_sharper = QImage();
        if (rect.isEmpty())
            update();
        else
            update(rect);
    });
}

double DrawPanel::dpi() const
{
    return screenDpi(*this);
}

void DrawPanel::setFontSize(qint64 points)
{
    m_surface.setDpi(dpi()); // the resolution in force when the size is written
    m_surface.setFontSize(points);
}

void DrawPanel::Move(int newWidth, int newHeight)
{
    if (QSize(newWidth, newHeight) == size())
        return;
    resize(std::max(0, newWidth), std::max(0, newHeight));
    m_surface.resize(size()); // a hidden widget gets its resize event only when shown
}

void DrawPanel::Copy(DrawPanel &target, int x, int y) const
{
    if (width() <= 0 || height() <= 0)
        return;
    m_surface.Copy(target.m_surface, x, y);
}

void DrawPanel::showSharper(QImage picture)
{
    m_sharper = std::move(picture);
    update();
}

void DrawPanel::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect damaged = event->rect();
    if (!m_sharper.isNull()) {
        painter.drawImage(QPoint(0, 0), m_sharper);
        return;
    }
    painter.drawImage(damaged, m_surface.raster(), damaged);
}

void DrawPanel::resizeEvent(QResizeEvent *)
{
    m_surface.resize(size());
}
