#include "ui/hyper_linker.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

const QColor kNormal(0, 0, 255);
const QColor kHover(10, 36, 106);
const QColor kVisited(128, 0, 0);

// Sets environment variables (an empty value unsets one) until destroyed, then puts them back.
class ScopedEnvironment
{
public:
    explicit ScopedEnvironment(std::initializer_list<std::pair<const char *, QByteArray>> values)
    {
        for (const auto &[name, value] : values) {
            m_kept.append({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
            value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
        }
    }
    ~ScopedEnvironment()
    {
        for (const Kept &kept : m_kept)
            kept.wasSet ? qputenv(kept.name, kept.value) : qunsetenv(kept.name);
    }
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

private:
    struct Kept
    {
        const char *name;
        bool wasSet;
        QByteArray value;
    };
    QList<Kept> m_kept;
};

// An executable script `name` in `folder` that writes its first argument to `name`.got, then runs
// `body`; a body that starts with "#!" is the whole script. Empty when it cannot be made.
QString standIn(const QTemporaryDir &folder, const QString &name, const QString &body)
{
    const QString path = folder.filePath(name);
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return {};
    const QString header = QStringLiteral("#!/bin/sh\necho \"$1\" > \"$0.got\"\n");
    const QString text = (body.startsWith(QStringLiteral("#!")) ? body : header + body) + QLatin1Char('\n');
    script.write(text.toUtf8());
    script.close();
    return script.setPermissions(script.permissions() | QFile::ExeOwner) ? path : QString();
}

QByteArray recorded(const QString &launcher)
{
    QFile got(launcher + QStringLiteral(".got"));
    return got.open(QIODevice::ReadOnly) ? got.readAll().trimmed() : QByteArray();
}

// The outcome the real opener reports for `url`; none if it did not report within 30 s.
std::optional<bool> outcomeOf(const QUrl &url, std::chrono::milliseconds patience = kLauncherPatience)
{
    QObject context;
    std::optional<bool> outcome;
    openInDesktopBrowser(
        url, &context, [&outcome](bool opened) { outcome = opened; }, patience);
    if (outcome.has_value()) // only ever from the event loop
        return std::nullopt;
    if (!QTest::qWaitFor([&outcome] { return outcome.has_value(); }, 30000))
        return std::nullopt;
    return outcome;
}

} // namespace

class TestHyperLinker : public QObject
{
    Q_OBJECT
    std::unique_ptr<QWidget> m_host;
    HyperLinker *m_link = nullptr;
    QList<QUrl> m_opened;
    bool m_succeeds = true;
    bool m_answerLater = false;
    QList<OpenDone> m_pending;

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
        m_answerLater = false;
        m_pending.clear();
        HyperLinker::setOpener([this](const QUrl &url, QObject *, OpenDone done) {
            m_opened.append(url);
            if (m_answerLater)
                m_pending.append(std::move(done));
            else
                done(m_succeeds);
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
        QCOMPARE(outcomeOf(QUrl()), std::optional<bool>(false));
    }

    // The colour follows the outcome once it arrives, and only that of the last press.
    void shouldColourByTheOutcomeOnceItArrives()
    {
        m_answerLater = true;
        QTest::mousePress(m_link, Qt::LeftButton, {}, QPoint(10, 8));
        QVERIFY(m_link->isOpening());
        QCOMPARE(m_link->captionColor(), kNormal);
        m_pending.takeFirst()(true);
        QVERIFY(!m_link->isOpening());
        QCOMPARE(m_link->captionColor(), kVisited);
        // Two presses; the first answers success after the second failed: the failure stands.
        QTest::mousePress(m_link, Qt::LeftButton, {}, QPoint(10, 8));
        QTest::mousePress(m_link, Qt::LeftButton, {}, QPoint(10, 8));
        m_pending.takeLast()(false);
        QCOMPARE(m_link->captionColor(), kNormal);
        m_pending.takeFirst()(true);
        QCOMPARE(m_link->captionColor(), kNormal);
        QVERIFY(!m_link->isOpening());
    }

    // A stand-in xdg-open, alone on the PATH, records the address and ends as the row says. Still
    // running after the patience counts as opened (a browser in the foreground), and is left running.
    void shouldJudgeALauncherByHowItEnds_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("opened");
        QTest::newRow("succeeds") << QStringLiteral("exit 0") << true;
        QTest::newRow("fails at once") << QStringLiteral("exit 3") << false;
        QTest::newRow("fails late, within the patience") << QStringLiteral("/bin/sleep 1; exit 3") << false;
        QTest::newRow("still running after the patience") << QStringLiteral("/bin/sleep 4; : > \"$0.later\"") << true;
        QTest::newRow("cannot start") << QStringLiteral("#!/no/such/interpreter") << false;
    }
    void shouldJudgeALauncherByHowItEnds()
    {
        QFETCH(QString, body);
        QFETCH(bool, opened);
        QTemporaryDir folder;
        const QString launcher = standIn(folder, QStringLiteral("xdg-open"), body);
        QVERIFY(!launcher.isEmpty());
        ScopedEnvironment environment({{"PATH", folder.path().toUtf8()}, {"BROWSER", {}}});
        const QUrl address(QStringLiteral("https://forum.example.org/a?b=1"));

        QCOMPARE(outcomeOf(address, std::chrono::milliseconds(2000)), std::optional<bool>(opened));

        if (!body.startsWith(QStringLiteral("#!")))
            QCOMPARE(recorded(launcher), QByteArray("https://forum.example.org/a?b=1"));
        if (body.contains(QStringLiteral("later"))) // not ended with the shell that waited for it
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(launcher + QStringLiteral(".later")), 10000);
    }

    // When the desktop's handler finds no browser, the browser named by BROWSER is started directly;
    // with none at all the opening fails. Stand-in scripts record what they got.
    void shouldFallBackToTheUsersBrowser()
    {
        QTemporaryDir folder;
        const QString failing = standIn(folder, QStringLiteral("xdg-open"), QStringLiteral("exit 3"));
        const QString browser = standIn(folder, QStringLiteral("browser"), QStringLiteral("exit 0"));
        QVERIFY(!failing.isEmpty() && !browser.isEmpty());
        const QUrl address(QStringLiteral("https://forum.example.org/a?b=1"));
        {
            // No x-www-browser, no sensible-browser.
            ScopedEnvironment environment(
                {{"PATH", folder.path().toUtf8()}, {"BROWSER", QByteArray("no-such-browser:") + browser.toUtf8()}});
            QCOMPARE(outcomeOf(address), std::optional<bool>(true));
        }
        QCOMPARE(recorded(failing), QByteArray("https://forum.example.org/a?b=1"));
        QCOMPARE(recorded(browser), QByteArray("https://forum.example.org/a?b=1"));
        ScopedEnvironment environment({{"PATH", folder.path().toUtf8()}, {"BROWSER", {}}});
        QCOMPARE(outcomeOf(QUrl(QStringLiteral("https://forum.example.org/"))), std::optional<bool>(false));
    }

    // The system's own launchers on a machine without a browser: xdg-open and sensible-browser both say
    // they found none. After an earlier success the caption turns blue again.
    void shouldStayBlueWhenTheRealLaunchersFindNoBrowser()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
            QSKIP("xdg-open is not installed");
        QTemporaryDir home;
        ScopedEnvironment environment({{"PATH", "/usr/bin:/bin"},
                                       {"BROWSER", {}},
                                       {"DISPLAY", {}},
                                       {"WAYLAND_DISPLAY", {}},
                                       {"XDG_CURRENT_DESKTOP", {}},
                                       {"HOME", home.path().toUtf8()},
                                       {"XDG_CONFIG_HOME", home.path().toUtf8()},
                                       {"XDG_DATA_HOME", home.path().toUtf8()},
                                       {"XDG_DATA_DIRS", home.path().toUtf8()}});
        for (const char *browser : {"x-www-browser", "www-browser", "firefox", "chromium", "google-chrome", "epiphany",
                                    "konqueror", "links2", "elinks", "links", "lynx", "w3m"}) {
            if (!QStandardPaths::findExecutable(QString::fromLatin1(browser)).isEmpty())
                QSKIP("a browser is installed");
        }
        QTest::mousePress(m_link, Qt::LeftButton, {}, QPoint(10, 8)); // the stand-in: success
        QCOMPARE(m_link->captionColor(), kVisited);
        HyperLinker::setOpener({});
        QTest::mousePress(m_link, Qt::LeftButton, {}, QPoint(10, 8));
        QVERIFY(m_link->isOpening());
        QTRY_VERIFY_WITH_TIMEOUT(!m_link->isOpening(), 30000);
        QVERIFY(!m_link->isVisited());
        leave();
        QCOMPARE(m_link->captionColor(), kNormal);
        QVERIFY(paintsCaptionIn(kNormal));
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
