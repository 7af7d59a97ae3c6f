#include "ui/hyper_linker.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>

namespace {

UrlOpener &opener()
{
    static UrlOpener current = &openInDesktopBrowser;
    return current;
}

bool startBrowser(const QString &program, const QUrl &url)
{
    const QString path = QStandardPaths::findExecutable(program);
    return !path.isEmpty() && QProcess::startDetached(path, {url.toString()});
}

} // namespace

bool openInDesktopBrowser(const QUrl &url)
{
    if (!url.isValid() || url.isEmpty())
        return false;
    if (QDesktopServices::openUrl(url))
        return true;
    // BROWSER holds a colon-separated list of commands, tried in order.
    const QStringList preferred = qEnvironmentVariable("BROWSER").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &program : preferred) {
        if (startBrowser(program, url))
            return true;
    }
    return startBrowser(QStringLiteral("x-www-browser"), url) || startBrowser(QStringLiteral("sensible-browser"), url);
}

HyperLinker::HyperLinker(const QRect &geometry, const QString &caption, const QString &address, QWidget *parent)
    : QWidget(parent)
    , m_caption(caption)
    , m_address(address)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setGeometry(geometry);
}

QColor HyperLinker::captionColor() const
{
    if (m_hovered)
        return QColor(10, 36, 106);
    if (m_visited)
        return QColor(128, 0, 0);
    return QColor(0, 0, 255);
}

void HyperLinker::setOpener(UrlOpener replacement)
{
    opener() = replacement ? std::move(replacement) : UrlOpener(&openInDesktopBrowser);
}

void HyperLinker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(captionColor());
    // Plain text: an '&' is shown as itself, never as a mnemonic.
    const QString shown = m_caption.isEmpty() ? m_address : m_caption;
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, shown);
}

void HyperLinker::enterEvent(QEnterEvent *)
{
    setHovered(true);
}

void HyperLinker::leaveEvent(QEvent *)
{
    setHovered(false);
}

void HyperLinker::setHovered(bool hovered)
{
    if (m_hovered == hovered)
        return;
    m_hovered = hovered;
    update();
}

void HyperLinker::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    m_visited = !m_address.isEmpty() && opener()(QUrl(m_address));
    update();
}
