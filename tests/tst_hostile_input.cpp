#include "export/sheet_export.h"
#include "render/tile_renderer.h"
#include "tile_fixture.h"
#include "ui/common_dlg.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString repeated(const QString &unit, qsizetype length)
{
    QString text;
    while (text.size() < length)
        text += unit;
    text.truncate(length);
    return text;
}

// The caption as it stands alone on a tile of the same colours.
QImage captionAlone(const QString &caption)
{
    DrawPanel panel(QRect(0, 0, 180, 100), kBlack);
    panel.setTextColor(kWhite);
    panel.setFontFaceName(QStringLiteral("宋体"));
    panel.setFontSize(9);
    panel.WriteAt(5, 5, caption);
    return panel.raster().copy();
}

} // namespace

// Whatever a user can type or paste into the two fields: the preview completes, the caption keeps its
// place, and the saved sheet is still a whole bitmap.
class TestHostileInput : public QObject
{
    Q_OBJECT
    TileWindowFixture m_fixture;
    QTemporaryDir m_folder;
    QStringList m_warnings;

private Q_SLOTS:
    void initTestCase()
    {
        installTileFaces();
        const QString path = m_folder.filePath(QStringLiteral("hostile.bmp"));
        CommonDlg::setPrompt([path](const SaveDialogRequest &) { return std::optional<QString>(path); });
        setSaveWarningPresenter([this](const QString &, const QString &text) { m_warnings.append(text); });
    }
    void init()
    {
        m_warnings.clear();
        m_fixture.open();
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture.window.get()));
    }
    void cleanup() { m_fixture.close(); }

    void shouldPreviewAndSaveAnyName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("typed");    // typed key by key, else pasted
        QTest::addColumn<bool>("mustShow"); // something must be drawn below the caption
        QTest::newRow("empty") << QString() << false << false;
        QTest::newRow("one character") << QStringLiteral("王") << false << true;
        QTest::newRow("typed key by key") << QStringLiteral("Li Bai") << true << true;
        QTest::newRow("10,000 characters") << repeated(QStringLiteral("砚溪岚舍"), 10000) << false << true;
        QTest::newRow("100,000 characters") << repeated(QStringLiteral("签名Sign"), 100000) << false << true;
        QTest::newRow("emoji outside the BMP") << QStringLiteral("😀👍🏽🧑‍🎨") << false << true;
        QTest::newRow("CJK extension B") << QStringLiteral("𠀀𪚥𠮷") << false << true;
        QTest::newRow("combining marks") << QStringLiteral("e\u0301\u0302\u0303 Zoe\u0308 a\u0330\u0331\u0332\u0333")
                                         << false << true;
        QTest::newRow("right to left") << QStringLiteral("שלום مرحبا") << false << true;
        QTest::newRow("control characters")
            << QStringLiteral("a\tb\rc\nd") + QChar(0) + QChar(0xFFFF) + QStringLiteral("e") << false << true;
        QTest::newRow("lone surrogate") << QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y") << false << true;
        QTest::newRow("no font has these") << QStringLiteral("\uE000\U0010FFFD\U0001FAE8") << false << false;
    }
    void shouldPreviewAndSaveAnyName()
    {
        QFETCH(QString, name);
        QFETCH(bool, typed);
        QFETCH(bool, mustShow);
        for (int which : {1, 2}) {
            QLineEdit *field = m_fixture.field(which);
            field->setFocus();
            field->selectAll();
            if (typed) {
                QTest::keyClicks(field, name);
            } else {
                QGuiApplication::clipboard()->setText(name);
                field->paste();
                if (name.isEmpty())
                    field->clear();
            }
        }
        QElapsedTimer timer;
        timer.start();
        m_fixture.clickPreview();
        const qint64 elapsed = timer.elapsed();
        if (name.size() >= 10000)
            qInfo("preview of a %lld-character name: %lld ms", qlonglong(name.size()), qlonglong(elapsed));
        QVERIFY(elapsed < 30000);

        for (int k = 1; k <= 6; ++k) {
            const QImage tile = m_fixture.raster(k);
            const QImage caption = captionAlone(TileCaptions().item(k));
            for (int y = 0; y < 25; ++y)
                for (int x = 0; x < 60; ++x)
                    if (caption.pixel(x, y) != qRgb(0, 0, 0))
                        QVERIFY2(tile.pixel(x, y) != qRgb(0, 0, 0), qPrintable(QStringLiteral("tile %1").arg(k)));
            if (mustShow) {
                const QImage below = tile.copy(0, 24, 180, 76);
                const auto *pixels = reinterpret_cast<const QRgb *>(below.constBits());
                QVERIFY2(std::any_of(pixels, pixels + 180 * 76, [](QRgb p) { return qGray(p) > 128; }),
                         qPrintable(QStringLiteral("nothing drawn on tile %1").arg(k)));
            }
        }
        // What the fields hold reaches the tiles unchanged: nothing was lost on the way.
        QCOMPARE(m_fixture.field(1)->text().size() > 0, !name.isEmpty());

        m_fixture.clickSave();
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.join(QLatin1Char('\n'))));
        QFile saved(m_folder.filePath(QStringLiteral("hostile.bmp")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QCOMPARE(bytes.size(), qsizetype(324054));
        QCOMPARE(bytes.left(2), QByteArray("BM"));
        QCOMPARE(QImage::fromData(bytes).size(), QSize(360, 300));
    }
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostile_input.moc"
