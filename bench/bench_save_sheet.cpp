#include "export/sheet_export.h"
#include "render/tile_renderer.h"
#include "tile_fixture.h"
#include "ui/common_dlg.h"

#include <QTemporaryDir>

// One save of the sheet as a click on 保存图片 runs it, the dialog answered at once: compose the six
// tiles, encode the bitmap, write it to a temporary folder.
class BenchSaveSheet : public QObject
{
    Q_OBJECT
    TileWindowFixture m_fixture;
    QTemporaryDir m_folder;

private Q_SLOTS:
    void initTestCase()
    {
        installTileFaces();
        m_fixture.open();
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture.window.get()));
        const QString path = m_folder.filePath(QStringLiteral("sheet.bmp"));
        CommonDlg::setPrompt([path](const SaveDialogRequest &) { return std::optional<QString>(path); });
        setSaveWarningPresenter([](const QString &, const QString &text) { qFatal("%s", qPrintable(text)); });
        SaveSheet(); // warm
    }
    void cleanupTestCase() { m_fixture.close(); }

    void saveSheet()
    {
        QBENCHMARK
        {
            SaveSheet();
        }
    }
};

QTEST_MAIN(BenchSaveSheet)
#include "bench_save_sheet.moc"
