#include "export/sheet_export.h"
#include "render/font_file.h"
#include "tile_fixture.h"
#include "ui/common_dlg.h"
#include "ui/font_dialog.h"
#include "ui/preview.h"
#include "ui/settings.h"
#include "ui/tile_faces.h"

#include <QDirIterator>
#include <QFontInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextLayout>

// tests/data/SignatureTestFace.ttf: the glyphs of 砚溪岚舍王羲之网签 and ASCII cut from Ma Shan Zheng
// (SIL Open Font Licence, tests/data/OFL-MaShanZheng.txt) and renamed, so that no other font has its
// family name.
const QString kTestFamily = QStringLiteral("Signature Test Face");

namespace {

std::array<QImage, 6> rastersOf(const TileWindowFixture &fixture)
{
    std::array<QImage, 6> rasters;
    for (int k = 1; k <= 6; ++k)
        rasters[std::size_t(k - 1)] = fixture.raster(k);
    return rasters;
}

// Every file and folder under `folder`, with each file's size: what "left as it was" compares.
QStringList listing(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries.append(QDir(folder).relativeFilePath(info.filePath()) + QLatin1Char(' ') +
                       (info.isDir() ? QStringLiteral("dir") : QString::number(info.size())));
    }
    entries.sort();
    return entries;
}

// Whether `family` alone, with no fallback, draws every character of `text` with a real glyph.
bool drawsAlone(const QString &family, const QString &text)
{
    QFont font(family);
    font.setStyleStrategy(QFont::NoFontMerging);
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine().setLineWidth(1e9);
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    for (const QGlyphRun &run : runs)
        if (run.glyphIndexes().contains(0u))
            return false;
    return !runs.isEmpty();
}

QImage sheetTile(const QImage &sheet, int k)
{
    return sheet.copy(QRect(QPoint((k - 1) % 2 * 180, (k - 1) / 2 * 100), kTileSize));
}

} // namespace

class TestTileFaces : public QObject
{
    Q_OBJECT

    TileWindowFixture m_fixture;
    QTemporaryDir m_folder;
    QStringList m_messages;
    QString m_fontFile; // what "从文件添加…" is given
    QString m_sheetPath;

    void restart()
    {
        m_fixture.close();
        m_fixture.open();
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture.window.get()));
    }
    void chooseFromMenu(int k)
    {
        QMenu *menu = m_fixture.rightClickTile(k);
        QVERIFY(menu != nullptr);
        QAction *face = menu->findChild<QAction *>(QStringLiteral("tileFace"));
        QVERIFY(face != nullptr);
        face->trigger();
        menu->close();
    }
    QImage savedSheet()
    {
        QFile::remove(m_sheetPath);
        m_fixture.clickSave();
        return QImage(m_sheetPath, "BMP").convertToFormat(QImage::Format_RGB32);
    }
    // The real dialog, given a font file through "从文件添加…".
    static std::optional<FaceChoice> addThroughDialog(const FaceRequest &request)
    {
        FontDialog dialog(request);
        dialog.addFromFile();
        return dialog.result() == QDialog::Accepted ? dialog.choice() : std::nullopt;
    }
    static bool messageBoxShown()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(),
                           [](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(installTileFaces() >= 7);
        QVERIFY(m_folder.isValid());
        m_sheetPath = m_folder.filePath(QStringLiteral("sheet.bmp"));
        CommonDlg::setPrompt([this](const SaveDialogRequest &) { return std::optional<QString>(m_sheetPath); });
        setFontFilePrompt([this](QWidget *) { return m_fontFile; });
        setFontMessagePresenter(
            [this](const QString &title, const QString &text) { m_messages.append(title + QLatin1Char('|') + text); });
    }
    void init()
    {
        programSettings()->remove(QStringLiteral("tiles"));
        QDir(fontDataFolder()).removeRecursively();
        QFile::remove(fontDataFolder());
        m_messages.clear();
        m_fixture.open();
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture.window.get()));
    }
    void cleanup()
    {
        m_fixture.close();
        setFacePrompt({});
    }
    void cleanupTestCase() { programSettings()->remove(QStringLiteral("tiles")); }

    void shouldDrawTheChosenFaceOnItsTileAloneAndKeepItAcrossRestarts_data()
    {
        QTest::addColumn<int>("tile");
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("fromFile");
        QTest::newRow("installed family, tile 2") << 2 << QStringLiteral("AR PL UKai CN") << false;
        QTest::newRow("font file added by path, tile 3") << 3 << kTestFamily << true;
    }
    void shouldDrawTheChosenFaceOnItsTileAloneAndKeepItAcrossRestarts()
    {
        QFETCH(int, tile);
        QFETCH(QString, family);
        QFETCH(bool, fromFile);
        const std::array<QImage, 6> before = rastersOf(m_fixture);
        const QImage sheetBefore = savedSheet();
        m_fontFile = QStringLiteral(TEST_FONT);
        if (fromFile)
            setFacePrompt(&addThroughDialog);
        else
            setFacePrompt([family](const FaceRequest &) { return std::optional<FaceChoice>({family, {}, false}); });
        chooseFromMenu(tile);

        const std::array<QImage, 6> after = rastersOf(m_fixture);
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(after[std::size_t(k - 1)] == before[std::size_t(k - 1)], k != tile);
        QCOMPARE(TileFonts().item(tile), family);
        QCOMPARE(QFontInfo(m_fixture.tile(tile)->drawingFont()).family(), family);
        QCOMPARE(m_fixture.tile(tile)->toolTip(), family);
        const QImage sheet = savedSheet();
        for (int k = 1; k <= 6; ++k) {
            QCOMPARE(sheetTile(sheet, k), after[std::size_t(k - 1)]);
            QCOMPARE(sheetTile(sheet, k) == sheetTile(sheetBefore, k), k != tile);
        }
        const QString copy = QDir(fontDataFolder()).filePath(QStringLiteral("SignatureTestFace.ttf"));
        QCOMPARE(QFile::exists(copy), fromFile);

        restart();
        QCOMPARE(TileFonts().item(tile), family);
        QCOMPARE(m_fixture.raster(tile), after[std::size_t(tile - 1)]);

        if (fromFile) {
            QVERIFY(QFile::remove(copy));
        } else {
            setFacePrompt([](const FaceRequest &) { return std::optional<FaceChoice>({{}, {}, true}); });
            chooseFromMenu(tile);
            QCOMPARE(m_fixture.raster(tile), before[std::size_t(tile - 1)]);
        }
        restart();
        QCOMPARE(TileFonts().item(tile), QString::fromUtf16(DefaultTileFonts.at(std::size_t(tile - 1))));
        QCOMPARE(rastersOf(m_fixture), before);
        QVERIFY(m_messages.isEmpty());
        QVERIFY(!messageBoxShown());
    }

    void shouldRefuseABadFontFileLeavingTheTileAndTheDataFolderAsTheyWere_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not a font") << QStringLiteral("text") << QStringLiteral("不是可用的字体文件");
        QTest::newRow("empty file") << QStringLiteral("empty") << QStringLiteral("文件是空的");
        QTest::newRow("no glyph for the name")
            << QStringLiteral("欧阳修") << QStringLiteral("没有这些字的字形：欧阳修");
        QTest::newRow("200 MB") << QStringLiteral("huge") << QStringLiteral("文件有 200 MB");
        QTest::newRow("data folder cannot be made")
            << QStringLiteral("blocked") << QStringLiteral("无法建立字体文件夹");
    }
    void shouldRefuseABadFontFileLeavingTheTileAndTheDataFolderAsTheyWere()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        m_fontFile = QStringLiteral(TEST_FONT);
        QFile file(m_folder.filePath(QStringLiteral("%1.ttf").arg(kind)));
        if (kind != QStringLiteral("欧阳修") && kind != QStringLiteral("blocked")) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (kind == QStringLiteral("text"))
                file.write("Not a font, only words.\n");
            if (kind == QStringLiteral("huge"))
                QVERIFY(file.resize(200LL * 1024 * 1024)); // sparse: costs no disk
            file.close();
            m_fontFile = file.fileName();
        }
        if (kind == QStringLiteral("欧阳修")) {
            m_fixture.field(1)->setText(kind);
            m_fixture.clickPreview();
        }
        const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(QDir().mkpath(appData));
        if (kind == QStringLiteral("blocked")) {
            QFile blocker(fontDataFolder()); // a file where the folder would go
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.write("in the way");
        }
        const QStringList folderBefore = listing(appData);
        const std::array<QImage, 6> before = rastersOf(m_fixture);
        const RememberedTileFace remembered = loadTileFace(*programSettings(), 3);

        std::optional<FaceChoice> chosen;
        setFacePrompt([&chosen](const FaceRequest &request) { return chosen = addThroughDialog(request); });
        chooseFromMenu(3);

        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().startsWith(QStringLiteral("添加字体|")), qPrintable(m_messages.first()));
        QVERIFY2(m_messages.first().contains(reason), qPrintable(m_messages.first()));
        QVERIFY(!chosen);
        QCOMPARE(rastersOf(m_fixture), before);
        QCOMPARE(TileFonts().item(3), QString::fromUtf16(DefaultTileFonts.at(2)));
        QCOMPARE(listing(appData), folderBefore);
        QCOMPARE(loadTileFace(*programSettings(), 3), remembered);
        file.remove();
    }

    void shouldShrinkAWideNameFromTheMenuAndRememberTheTick()
    {
        m_fixture.field(1)->setText(QStringLiteral("砚溪岚舍网签"));
        m_fixture.clickPreview();
        const std::array<QImage, 6> cut = rastersOf(m_fixture);
        QMenu *menu = m_fixture.rightClickTile(1);
        QAction *shrink = menu->findChild<QAction *>(QStringLiteral("shrinkToFit"));
        QVERIFY(shrink != nullptr && shrink->isCheckable() && !shrink->isChecked());
        shrink->trigger();
        menu->close();

        const std::array<QImage, 6> shrunk = rastersOf(m_fixture);
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(shrunk[std::size_t(k - 1)] == cut[std::size_t(k - 1)], k != 1);
        QVERIFY(previewTileJob(1).shrinkToFit);
        QCOMPARE(shrunk[0], renderTileRaster(previewTileJob(1), true, 1.0));

        restart();
        m_fixture.field(1)->setText(QStringLiteral("砚溪岚舍网签"));
        m_fixture.clickPreview();
        QCOMPARE(m_fixture.raster(1), shrunk[0]);
        menu = m_fixture.rightClickTile(1);
        shrink = menu->findChild<QAction *>(QStringLiteral("shrinkToFit"));
        QVERIFY(shrink->isChecked());
        shrink->trigger();
        menu->close();
        QCOMPARE(m_fixture.raster(1), cut[0]);
        QVERIFY(!loadTileFace(*programSettings(), 1).shrinkToFit);
    }

    void shouldListOnlyTheFamiliesThatDrawTheWholeName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("Chinese") << QStringLiteral("砚溪岚舍")
                                 << QStringList{QStringLiteral("Long Cang"), QStringLiteral("Noto Serif CJK SC")}
                                 << QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("Great Vibes")};
        QTest::newRow("Latin") << QStringLiteral("morilane")
                               << QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("Great Vibes"),
                                              QStringLiteral("Noto Serif CJK SC")}
                               << QStringList();
        QTest::newRow("rare hanzi Long Cang lacks")
            << QStringLiteral("齄") << QStringList{QStringLiteral("Zhi Mang Xing")}
            << QStringList{QStringLiteral("Long Cang")};
    }
    void shouldListOnlyTheFamiliesThatDrawTheWholeName()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        const FontDialog dialog({nullptr, 3, name, QStringLiteral("Noto Serif CJK SC")});
        const QStringList listed = dialog.listedFamilies();
        for (const QString &family : present)
            QVERIFY2(listed.contains(family), qPrintable(family));
        for (const QString &family : absent)
            QVERIFY2(!listed.contains(family), qPrintable(family));
        for (const QString &family : listed)
            QVERIFY2(drawsAlone(family, name), qPrintable(family));
        QCOMPARE(dialog.selectedFamily(), QStringLiteral("Noto Serif CJK SC"));
    }

    void shouldFilterMoveAndChooseWithTheKeyboard()
    {
        FontDialog dialog({nullptr, 1, QStringLiteral("砚溪岚舍"), QStringLiteral("方正小篆体")});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *filter = dialog.findChild<QLineEdit *>(QStringLiteral("filter"));
        QCOMPARE(QApplication::focusWidget(), filter);
        QTest::keyClicks(filter, QStringLiteral("noto SERIF cjk"));
        const QStringList listed = dialog.listedFamilies();
        QVERIFY(listed.size() >= 2);
        for (const QString &family : listed)
            QVERIFY(family.startsWith(QStringLiteral("Noto Serif CJK")));
        QCOMPARE(dialog.selectedFamily(), listed.first());
        QTest::keyClick(filter, Qt::Key_Down);
        QCOMPARE(dialog.selectedFamily(), listed.at(1));
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.choice(), (FaceChoice{listed.at(1), {}, false}));
    }

    void shouldNotChooseWhenTheFilterHidesEveryFamily()
    {
        FontDialog dialog({nullptr, 1, QStringLiteral("砚溪岚舍"), QString()});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *filter = dialog.findChild<QLineEdit *>(QStringLiteral("filter"));
        QTest::keyClicks(filter, QStringLiteral("no such face"));
        QVERIFY(dialog.listedFamilies().isEmpty());
        QTest::keyClick(filter, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.choice());
    }

    // A face added from a file earlier is listed like any other; chosen from the list it keeps its
    // file, so that it is there at the next start.
    void shouldKeepTheFileOfAnAddedFaceChosenFromTheList()
    {
        const AddedFont added = addFontFile(QStringLiteral(TEST_FONT), QStringLiteral("砚溪岚舍"), fontDataFolder());
        QVERIFY2(added.error.isEmpty(), qPrintable(added.error));
        FontDialog dialog({nullptr, 4, QStringLiteral("砚溪岚舍"), QString()});
        QVERIFY(dialog.listedFamilies().contains(kTestFamily));
        QVERIFY(!FontDialog({nullptr, 4, QStringLiteral("欧阳修"), QString()}).listedFamilies().contains(kTestFamily));
        setFacePrompt([](const FaceRequest &request) {
            FontDialog shown(request);
            shown.show();
            auto *filter = shown.findChild<QLineEdit *>(QStringLiteral("filter"));
            QTest::keyClicks(filter, kTestFamily);
            QTest::keyClick(filter, Qt::Key_Return);
            return shown.choice();
        });
        chooseFromMenu(4);
        QCOMPARE(loadTileFace(*programSettings(), 4), (RememberedTileFace{kTestFamily, added.path, false}));
        restart();
        QCOMPARE(TileFonts().item(4), kTestFamily);
    }
};

QTEST_MAIN(TestTileFaces)
#include "tst_tile_faces.moc"
