#include "ui/hyper_linker.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QColor kNormal(0, 0, 255);
const QColor kHover(10, 36, 106);
const QColor kVisited(128, 0, 0);

} // namespace

class TestHyperLinker : public QObject
{
    Q_OBJECT
    std::unique_ptr<QWidget> m_host;
    HyperLinker *m_link = nullptr;
    QList<QUrl> m_opened;
    bool m_succeeds = true;

    void enter()
    {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(m_link, &event);
    }
    void leave()
    {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(m_link, &event);
    }
    // Whether the caption's strokes on screen are in `color`: antialiased edges blend it with the
    // background, so the cores of the strokes come close to it and no other caption colour does.
    bool paintsCaptionIn(const QColor &color)
    {
        const QImage shown = m_link->grab().toImage();
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QColor seen = shown.pixelColor(x, y);
                if (std::abs(seen.red() - color.red()) + std::abs(seen.green() - color.green()) +
                        std::abs(seen.blue() - color.blue()) <
                    60)
                    return true;
            }
        }
        return false;
    }

private Q_SLOTS:
    void init()
    {
        m_opened.clear();
        m_succeeds = true;
        HyperLinker::setOpener([this](const QUrl &url) {
            m_opened.append(url);
            return m_succeeds;
        });
        m_host = std::make_unique<QWidget>();
        m_host->resize(200, 100);
        new QLineEdit(m_host.get());
        m_link = new HyperLinker(QRect(24, 60, 136, 16), QStringLiteral("访问砚溪岚舍网论坛"),
                                 QStringLiteral("https://forum.example.org/"), m_host.get());
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    }
    void cleanup()
    {
        m_host.reset();
        HyperLinker::setOpener({});
    }

    void shouldStartBlueWithAPointingHand()
    {
        QCOMPARE(m_link->captionColor(), kNormal);
        QVERIFY(paintsCaptionIn(kNormal));
        QCOMPARE(m_link->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(m_link->focusPolicy(), Qt::NoFocus);
    }

    void shouldShowTheHoverColourWhileThePointerIsOver()
    {
        enter();
        QVERIFY(m_link->isHovered());
        QCOMPARE(m_link->captionColor(), kHover);
        QVERIFY(paintsCaptionIn(kHover));
        leave();
        QCOMPARE(m_link->captionColor(), kNormal);
    }

    void shouldOpenOnThePressNotTheRelease()
    {
        QTest::mousePress(m_link, Qt::LeftButton, {}, QPoint(10, 8));
        QCOMPARE(m_opened, QList<QUrl>{QUrl(QStringLiteral("https://forum.example.org/"))});
        QTest::mouseRelease(m_link, Qt::LeftButton, {}, QPoint(10, 8));
        QCOMPARE(m_opened.size(), 1);
        QTest::mousePress(m_link, Qt::RightButton, {}, QPoint(10, 8));
        QCOMPARE(m_opened.size(), 1);
    }

    // The colour after leaving follows the outcome of the last press; hover wins while over it.
    void shouldColourByTheLastOutcome_data()
    {
        QTest::addColumn<QList<bool>>("outcomes");
        QTest::addColumn<QColor>("afterLeaving");
        QTest::newRow("success") << QList<bool>{true} << kVisited;
        QTest::newRow("failure") << QList<bool>{false} << kNormal;
        QTest::newRow("failure after a success") << QList<bool>{true, false} << kNormal;
        QTest::newRow("success after a failure") << QList<bool>{false, true} << kVisited;
    }
    void shouldColourByTheLastOutcome()
    {
        QFETCH(QList<bool>, outcomes);
        QFETCH(QColor, afterLeaving);
        enter();
        for (bool outcome : outcomes) {
            m_succeeds = outcome;
            QTest::mousePress(m_link, Qt::LeftButton, {}, QPoint(10, 8));
            QTest::mouseRelease(m_link, Qt::LeftButton, {}, QPoint(10, 8));
            QCOMPARE(m_link->captionColor(), kHover);
        }
        leave();
        QCOMPARE(m_link->captionColor(), afterLeaving);
        QVERIFY(paintsCaptionIn(afterLeaving));
    }

    void shouldCountAnEmptyAddressAsAFailure()
    {
        HyperLinker empty(QRect(0, 0, 136, 16), QStringLiteral("x"), QString(), m_host.get());
        QTest::mousePress(&empty, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(m_opened.isEmpty());
        QVERIFY(!empty.isVisited());
        QVERIFY(!openInDesktopBrowser(QUrl()));
    }

    // Without a registered handler (the headless platform has none), the browser named by BROWSER is
    // started directly; with none at all the opening fails. A stand-in script records what it got.
    void shouldFallBackToTheUsersBrowser()
    {
        QTemporaryDir folder;
        const QString record = folder.filePath(QStringLiteral("opened.txt"));
        const QString browser = folder.filePath(QStringLiteral("browser"));
        QFile script(browser);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\n").arg(record).toUtf8());
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        const QByteArray oldBrowser = qgetenv("BROWSER");
        qputenv("PATH", folder.path().toUtf8()); // no x-www-browser, no sensible-browser
        qputenv("BROWSER", QByteArray("no-such-browser:") + browser.toUtf8());
        const bool opened = openInDesktopBrowser(QUrl(QStringLiteral("https://forum.example.org/a?b=1")));
        qputenv("BROWSER", QByteArray());
        const bool openedWithout = openInDesktopBrowser(QUrl(QStringLiteral("https://forum.example.org/")));
        qputenv("PATH", path);
        qputenv("BROWSER", oldBrowser);
        QVERIFY(opened);
        QVERIFY(!openedWithout);
        QTRY_VERIFY(QFileInfo(record).size() > 0); // the browser runs detached
        QFile got(record);
        QVERIFY(got.open(QIODevice::ReadOnly));
        QCOMPARE(got.readAll().trimmed(), QByteArray("https://forum.example.org/a?b=1"));
    }

    // The caption on screen is "A&B" drawn as plain text, not "AB" with an underlined mnemonic.
    void shouldShowAnAmpersandAsItself()
    {
        auto *amp = new HyperLinker(QRect(0, 0, 136, 16), QStringLiteral("A&B"), QStringLiteral("https://x.example/"),
                                    m_host.get());
        amp->show();
        const QImage shown = amp->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const auto drawn = [&](const QString &text, int flags) {
            QImage image(shown.size(), QImage::Format_RGB32);
            image.fill(amp->palette().color(QPalette::Button));
            QPainter painter(&image);
            painter.setFont(amp->font());
            painter.setPen(amp->captionColor()); // the pointer may rest over it
            painter.drawText(image.rect(), flags, text);
            return image;
        };
        const int centred = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip;
        QCOMPARE(shown, drawn(QStringLiteral("A&B"), centred));
        QVERIFY(shown != drawn(QStringLiteral("A&B"), centred | Qt::TextShowMnemonic));
    }
};

QTEST_MAIN(TestHyperLinker)
#include "tst_hyper_linker.moc"
