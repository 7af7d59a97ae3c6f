#include "export/sheet_export.h"
#include "export_fixture.h"
#include "tile_fixture.h"
#include "ui/common_dlg.h"
#include "ui/export_dialog.h"
#include "ui/settings.h"
#include "ui/tile_actions.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>

class TestTileMenu : public QObject
{
    Q_OBJECT

    TileWindowFixture m_fixture;
    QTemporaryDir m_folder;
    QStringList m_warnings;
    QList<ExportRequest> m_requests;
    std::optional<ExportOptions> m_choice;
    std::optional<QString> m_path;

    QMenu *rightClickTile(int k) { return m_fixture.rightClickTile(k); }
    static QStringList texts(const QMenu &menu)
    {
        QStringList out;
        for (QAction *action : menu.actions())
            if (!action->isSeparator())
                out.append(action->text());
        return out;
    }
    static void trigger(QMenu &menu, const QString &name)
    {
        QAction *action = menu.findChild<QAction *>(name);
        QVERIFY(action != nullptr);
        action->trigger();
        menu.close();
    }
    QByteArray readFile(const QString &name) const
    {
        QFile file(m_folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true); // settings go to a test folder
        programSettings()->clear();
        installTileFaces();
        CommonDlg::setPrompt([this](const SaveDialogRequest &) { return m_path; });
        setExportChoicePrompt([this](const ExportRequest &request) {
            m_requests.append(request);
            return m_choice;
        });
        setSaveWarningPresenter(
            [this](const QString &title, const QString &text) { m_warnings.append(title + QLatin1Char('|') + text); });
    }
    void init()
    {
        m_warnings.clear();
        m_requests.clear();
        m_fixture.open();
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture.window.get()));
    }
    void cleanup() { m_fixture.close(); }

    void shouldOpenTheTileMenuOnARightClickWithoutMovingTheFocus()
    {
        QWidget *focused = QApplication::focusWidget();
        QMenu *menu = rightClickTile(3);
        QVERIFY(menu != nullptr);
        QCOMPARE(texts(*menu),
                 (QStringList{QStringLiteral("复制图片"), QStringLiteral("导出图片…"), QStringLiteral("字体…"),
                              QStringLiteral("自动缩小"), QStringLiteral("导出整张…")}));
        menu->close();
        QCOMPARE(QApplication::focusWidget(), focused);
    }

    void shouldOpenTheMenuOfAllTilesFromTheKeyboard()
    {
        m_fixture.window->widget(u"按钮1")->setFocus();
        QTest::keyClick(m_fixture.window->widget(u"按钮1"), Qt::Key_F10, Qt::ShiftModifier);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        const QStringList entries = texts(*menu);
        QCOMPARE(entries.size(), 7);
        QCOMPARE(entries.first(), QStringLiteral("&1 篆体签"));
        QCOMPARE(entries.last(), QStringLiteral("导出整张…"));
        QVERIFY(menu->findChild<QMenu *>(QStringLiteral("tile6")) != nullptr);
    }

    void shouldCopyTheTileAsPngWithAlphaAtTheLastChoices()
    {
        saveExportOptions(*programSettings(), blackOnTransparent(2));
        QMenu *menu = rightClickTile(4);
        QVERIFY(menu != nullptr);
        trigger(*menu, QStringLiteral("copyTile"));
        const QMimeData *data = QApplication::clipboard()->mimeData();
        QVERIFY(data != nullptr);
        QVERIFY(data->hasImage());
        const QImage png = QImage::fromData(data->data(QStringLiteral("image/png")), "PNG");
        QCOMPARE(png.size(), QSize(360, 200));
        QVERIFY(png.hasAlphaChannel());
        QCOMPARE(png, exportImage({previewTileJob(4)}, true, blackOnTransparent(2)).convertToFormat(png.format()));
    }

    void shouldExportWhatTheTileShowsAndRememberTheChoices()
    {
        m_fixture.field(1)->setText(QStringLiteral("typed, not previewed"));
        m_choice = asPreview(ExportFormat::Png, 1);
        m_path = m_folder.filePath(QStringLiteral("tile2.png"));
        QMenu *menu = rightClickTile(2);
        QVERIFY(menu != nullptr);
        trigger(*menu, QStringLiteral("exportTile"));
        QCOMPARE(m_requests.size(), 1);
        QVERIFY(!m_requests.first().wholeSheet);
        QVERIFY(m_warnings.isEmpty());
        QCOMPARE(QImage::fromData(readFile(QStringLiteral("tile2.png"))).convertToFormat(QImage::Format_RGB32),
                 m_fixture.raster(2));
        QCOMPARE(loadExportOptions(*programSettings()), *m_choice);
        // The next export starts from them.
        menu = rightClickTile(1);
        trigger(*menu, QStringLiteral("exportSheet"));
        QCOMPARE(m_requests.size(), 2);
        QVERIFY(m_requests.last().wholeSheet);
        QCOMPARE(m_requests.last().initial, *m_choice);
    }

    void shouldStaySilentWhenEitherDialogIsCancelled()
    {
        m_choice.reset();
        m_path = m_folder.filePath(QStringLiteral("never.png"));
        exportTileImage(1, m_fixture.window.get());
        m_choice = blackOnTransparent(1);
        m_path.reset();
        exportTileImage(1, m_fixture.window.get());
        QVERIFY(m_warnings.isEmpty());
        QVERIFY(!QFile::exists(m_folder.filePath(QStringLiteral("never.png"))));
    }

    void shouldKeepTheOldFileAndWarnWhenTheExportCannotBeWritten()
    {
        QVERIFY(QDir(m_folder.path()).mkpath(QStringLiteral("full")));
        const QString path = m_folder.filePath(QStringLiteral("full/old.png"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old bytes");
        old.close();
        m_choice = blackOnTransparent(8);
        m_path = path;
        // A file-size limit fails the write part-way, whoever runs the test.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit capped = previous;
        capped.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &capped), 0);
        exportTileImage(1, m_fixture.window.get());
        setrlimit(RLIMIT_FSIZE, &previous);
        QCOMPARE(readFile(QStringLiteral("full/old.png")), QByteArray("old bytes"));
        QCOMPARE(m_warnings.size(), 1);
        QVERIFY2(m_warnings.first().startsWith(QStringLiteral("保存图片|")), qPrintable(m_warnings.first()));
        QCOMPARE(QDir(m_folder.filePath(QStringLiteral("full"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("old.png")});
    }

    void shouldOfferBmpOnlyForTheWholeSheet()
    {
        ExportRequest request{nullptr, lastPreviewJobs(), true, true, blackOnTransparent(1)};
        ExportDialog sheet(request);
        QCOMPARE(sheet.findChildren<QComboBox *>().first()->count(), 3);
        request.wholeSheet = false;
        request.jobs = {previewTileJob(1)};
        ExportDialog tile(request);
        QCOMPARE(tile.findChildren<QComboBox *>().first()->count(), 2);
        QCOMPARE(tile.options(), blackOnTransparent(1));
        QCOMPARE(tile.previewImage().size(), QSize(180, 100));
    }
};

QTEST_MAIN(TestTileMenu)
#include "tst_tile_menu.moc"
