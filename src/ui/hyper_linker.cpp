#include "ui/hyper_linker.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {

void openWithDesktop(const QUrl &url, QObject *context, OpenDone done)
{
    openInDesktopBrowser(url, context, std::move(done));
}

UrlOpener &opener()
{
    static UrlOpener current = &openWithDesktop;
    return current;
}

// The shell waits for the launcher as a background job: ending the shell, once the launcher has been
// judged, leaves the launcher (and the browser it may be) running.
const QString kWaitForLauncher = QStringLiteral("\"$@\" & wait $!");

// Tries the launchers one after another until one takes the address, then tells `done` and goes.
class BrowserLaunch : public QObject
{
public:
    BrowserLaunch(const QUrl &url, QStringList launchers, OpenDone done, std::chrono::milliseconds patience,
                  QObject *context)
        : QObject(context)
        , m_url(url)
        , m_launchers(std::move(launchers))
        , m_done(std::move(done))
        , m_patience(patience)
    {}

    void tryNext()
    {
        if (m_launchers.isEmpty()) {
            finish(false);
            return;
        }
        auto *process = new QProcess(this);
        m_current = process;
        process->setProgram(QStringLiteral("/bin/sh"));
        process->setArguments({QStringLiteral("-c"), kWaitForLauncher, QStringLiteral("sh"), m_launchers.takeFirst(),
                               m_url.toString(QUrl::FullyEncoded)});
        process->setStandardInputFile(QProcess::nullDevice());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel); // the launcher's own complaints
        connect(process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus status) {
            judge(process, status == QProcess::NormalExit && code == 0);
        });
        connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                judge(process, false);
        });
        QTimer::singleShot(m_patience, process, [this, process] { judge(process, true); });
        process->start();
    }

private:
    void judge(QProcess *process, bool opened)
    {
        if (process != m_current)
            return; // already judged
        m_current = nullptr;
        process->deleteLater();
        if (opened)
            finish(true);
        else
            tryNext();
    }

    void finish(bool opened)
    {
        const OpenDone done = std::move(m_done);
        deleteLater();
        if (done)
            done(opened);
    }

    QUrl m_url;
    QStringList m_launchers;
    OpenDone m_done;
    std::chrono::milliseconds m_patience;
    QProcess *m_current = nullptr;
};

// The launchers to try, in order, as found on this system.
QStringList installedLaunchers()
{
    QStringList names{QStringLiteral("xdg-open")};
    // BROWSER holds a colon-separated list of commands, tried in order.
    names += qEnvironmentVariable("BROWSER").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    names += QStringList{QStringLiteral("x-www-browser"), QStringLiteral("sensible-browser")};
    QStringList found;
    for (const QString &name : names) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            found.append(path);
    }
    return found;
}

} // namespace

void openInDesktopBrowser(const QUrl &url, QObject *context, OpenDone done, std::chrono::milliseconds patience)
{
    const bool usable = url.isValid() && !url.isEmpty();
    auto *launch =
        new BrowserLaunch(url, usable ? installedLaunchers() : QStringList(), std::move(done), patience, context);
    // Always later, never inside the caller: the outcome reaches `done` from the event loop.
    QTimer::singleShot(0, launch, [launch] { launch->tryNext(); });
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
    opener() = replacement ? std::move(replacement) : UrlOpener(&openWithDesktop);
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
    const quint64 attempt = ++m_attempts;
    if (m_address.isEmpty()) {
        settle(attempt, false);
        return;
    }
    m_opening = true;
    QPointer<HyperLinker> self(this);
    opener()(QUrl(m_address), this, [self, attempt](bool opened) {
        if (self != nullptr)
            self->settle(attempt, opened);
    });
}

// The outcome of press number `attempt`; an earlier press answering late changes nothing.
void HyperLinker::settle(quint64 attempt, bool opened)
{
    if (attempt != m_attempts)
        return;
    m_opening = false;
    m_visited = opened;
    update();
}
