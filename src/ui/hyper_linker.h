#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>

// Opens a web address for the user; true when something was started to show it.
using UrlOpener = std::function<bool(const QUrl &)>;

// The desktop's registered handler first, then the user's browser started directly.
bool openInDesktopBrowser(const QUrl &url);

// A caption that opens a web address when pressed. It takes no focus and raises nothing: what it does
// shows only in its colour, dark red once an opening succeeded and blue again once one failed.
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

    QString m_caption;
    QString m_address;
    bool m_hovered = false;
    bool m_visited = false;
};
