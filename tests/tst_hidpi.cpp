// Runs with QT_SCALE_FACTOR=2: a dense screen.
#include "render/tile_renderer.h"
#include "tile_fixture.h"
#include "ui/common_dlg.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The sheet as the program saves it when started at `scaleFactor`.
QByteArray sheetSavedAt(const QString &scaleFactor, const QString &path)
{
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), scaleFactor);
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(SAVE_PROBE), {path});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        return {};
    return readAll(path);
}

} // namespace

class TestHiDpi : public QObject
{
    Q_OBJECT

    TileWindowFixture m_fixture;
    QTemporaryDir m_folder;

private Q_SLOTS:
    void initTestCase() { installTileFaces(); }
    void init()
    {
        m_fixture.open();
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture.window.get()));
    }
    void cleanup() { m_fixture.close(); }

    void shouldShowTilesDrawnAtTheScreensPixelRatio()
    {
        for (int k = 1; k <= 6; ++k) {
            DrawPanel *tile = m_fixture.tile(k);
            QCOMPARE(tile->devicePixelRatioF(), 2.0);
            QCOMPARE(tile->raster().size(), QSize(180, 100));
            const QImage shown = tile->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(shown.size(), QSize(360, 200));
            // Edges in many grey levels, and not the 180 x 100 raster blown up into 2 x 2 blocks.
            QSet<int> greys;
            int blocksSplit = 0;
            for (int y = 0; y + 1 < 200; y += 2)
                for (int x = 0; x + 1 < 360; x += 2) {
                    const int a = qGray(shown.pixel(x, y));
                    greys.insert(a);
                    if (a != qGray(shown.pixel(x + 1, y)) || a != qGray(shown.pixel(x, y + 1)))
                        ++blocksSplit;
                }
            QVERIFY2(greys.size() > 16, qPrintable(QString::number(greys.size())));
            QVERIFY2(blocksSplit > 50, qPrintable(QString::number(blocksSplit)));
        }
    }

    void shouldDropTheSharperPictureWhenTheRasterIsDrawnOnDirectly()
    {
        DrawPanel *tile = m_fixture.tile(1);
        QVERIFY(!tile->sharperPicture().isNull());
        tile->WriteAt(0, 0, QStringLiteral("x"));
        QVERIFY(tile->sharperPicture().isNull());
        m_fixture.clickPreview();
        QVERIFY(!tile->sharperPicture().isNull());
    }

    void shouldSaveTheSameSheetAsAtScaleOne()
    {
        const QString here = m_folder.filePath(QStringLiteral("here.bmp"));
        CommonDlg::setPrompt([&here](const SaveDialogRequest &) { return std::optional<QString>(here); });
        m_fixture.clickSave();
        CommonDlg::setPrompt({});
        const QByteArray atOne = sheetSavedAt(QStringLiteral("1"), m_folder.filePath(QStringLiteral("one.bmp")));
        QCOMPARE(atOne.size(), qsizetype(324054));
        QVERIFY(readAll(here) == atOne);
    }

    void shouldSaveTheSameSheetAtAnyScaleFactor_data()
    {
        QTest::addColumn<QString>("factor");
        QTest::newRow("1.5") << QStringLiteral("1.5");
        QTest::newRow("1.25") << QStringLiteral("1.25");
        QTest::newRow("3") << QStringLiteral("3");
    }
    void shouldSaveTheSameSheetAtAnyScaleFactor()
    {
        QFETCH(QString, factor);
        const QByteArray atOne = sheetSavedAt(QStringLiteral("1"), m_folder.filePath(QStringLiteral("ref.bmp")));
        const QByteArray scaled = sheetSavedAt(factor, m_folder.filePath(QStringLiteral("scaled.bmp")));
        QCOMPARE(scaled.size(), qsizetype(324054));
        QVERIFY(scaled == atOne);
    }
};

QTEST_MAIN(TestHiDpi)
#include "tst_hidpi.moc"
