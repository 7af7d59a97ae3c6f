#pragma once

#include <QUrl>
#include <QWidget>

#include <chrono>
#include <functional>

// Receives whether an address was opened.
using OpenDone = std::function<void(bool opened)>;
// Opens a web address without waiting, and tells `done` the outcome later, on this thread, unless
// `context` is destroyed first.
using UrlOpener = std::function<void(const QUrl &url, QObject *context, OpenDone done)>;

// How long a launcher may run before it counts as having opened the address: one that starts the
// browser in the foreground never returns while the browser runs.
inline constexpr std::chrono::milliseconds kLauncherPatience{3000};

// The desktop's registered handler (xdg-open) first, then the browsers named in BROWSER, then
// x-www-browser and sensible-browser, each tried once the one before has failed. A launcher succeeds
// when it exits with status 0 or is still running after `patience`; it fails when it cannot be started
// or exits with any other status, which is how a launcher says that it found no browser. A launcher
// still running when it is judged, or when `context` goes, is left running.
void openInDesktopBrowser(const QUrl &url, QObject *context, OpenDone done,
                          std::chrono::milliseconds patience = kLauncherPatience);

// A caption that opens a web address when pressed. It takes no focus and raises nothing: what it does
// shows only in its colour, dark red once an opening succeeded and blue again once one failed. The
// outcome arrives later (a launcher is judged by how it ends); until then the colour stays, and only
// the last press counts.
class HyperLinker : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption CONSTANT)
public:
    explicit HyperLinker(const QRect &geometry, const QString &caption, const QString &address,
                         QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    bool isHovered() const { return m_hovered; }
    bool isVisited() const { return m_visited; }
    // Whether the outcome of the last press is still awaited.
    bool isOpening() const { return m_opening; }
    // The colour the caption is painted in now.
    QColor captionColor() const;

    // Replaces how addresses are opened (tests answer success or failure). An empty one restores it.
    static void setOpener(UrlOpener opener);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void setHovered(bool hovered);
    void settle(quint64 attempt, bool opened);

    QString m_caption;
    QString m_address;
    bool m_hovered = false;
    bool m_visited = false;
    bool m_opening = false;
    quint64 m_attempts = 0;
};
