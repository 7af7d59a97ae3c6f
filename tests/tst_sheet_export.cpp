#include "export/sheet_export.h"
#include "render/tile_renderer.h"
#include "tile_fixture.h"
#include "ui/common_dlg.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The sheet as the tiles' rasters make it: two columns, three rows, no gaps.
QImage expectedSheet(const TileWindowFixture &fixture)
{
    QImage sheet(360, 300, QImage::Format_RGB32);
    for (int k = 1; k <= 6; ++k) {
        const QImage tile = fixture.raster(k);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 180; ++x)
                sheet.setPixel(((k - 1) % 2) * 180 + x, ((k - 1) / 2) * 100 + y, tile.pixel(x, y));
    }
    return sheet;
}

// The pixel at (x, y) of the picture in a 24-bit bottom-up file, read straight from its bytes.
QRgb filePixel(const QByteArray &bytes, int x, int y)
{
    const qsizetype at = 54 + qsizetype(299 - y) * 1080 + x * 3;
    return qRgb(quint8(bytes[at + 2]), quint8(bytes[at + 1]), quint8(bytes[at]));
}

const QByteArray kOld = QByteArray("an older picture the user wants to keep\n").repeated(100);

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

class TestSheetExport : public QObject
{
    Q_OBJECT
    TileWindowFixture m_fixture;
    QTemporaryDir m_folder;
    QList<SaveDialogRequest> m_requests;
    std::optional<QString> m_answer;
    QStringList m_warnings;
    QString m_probe;
    QProcessEnvironment m_probeEnvironment = QProcessEnvironment::systemEnvironment();

    // The unprivileged probe may not reach the build tree (a checkout under /root, say): it runs from
    // a copy in the test's own folder, with a copy of the leak suppressions it is pointed at.
    bool prepareProbe()
    {
        m_probe = pathOf(QStringLiteral("save_probe"));
        if (!QFile::copy(QStringLiteral(SAVE_PROBE), m_probe) ||
            !QFile::setPermissions(m_probe, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther))
            return false;
        QString leakOptions = m_probeEnvironment.value(QStringLiteral("LSAN_OPTIONS"));
        const QRegularExpressionMatch suppressions =
            QRegularExpression(QStringLiteral("suppressions=([^:]+)")).match(leakOptions);
        if (suppressions.hasMatch()) {
            const QString copy = pathOf(QStringLiteral("lsan.supp"));
            if (!QFile::copy(suppressions.captured(1), copy))
                return false;
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::ReadOther);
            leakOptions.replace(suppressions.capturedStart(1), suppressions.capturedLength(1), copy);
            m_probeEnvironment.insert(QStringLiteral("LSAN_OPTIONS"), leakOptions);
        }
        return true;
    }

    QString pathOf(const QString &name) const { return m_folder.filePath(name); }

    // `folder` holding old.bmp with kOld, both with the modes given (this test's user owns them).
    bool prepareOldFile(const QString &folder, mode_t folderMode, mode_t fileMode) const
    {
        const QString target = folder + QStringLiteral("/old.bmp");
        return QDir().mkpath(folder) && writeAll(target, kOld) && ::chmod(qPrintable(target), fileMode) == 0 &&
               ::chmod(qPrintable(folder), folderMode) == 0;
    }
    void saveAs(const std::optional<QString> &answer)
    {
        m_answer = answer;
        m_fixture.clickSave();
    }

    // Runs save_probe, as an unprivileged user when this test is root (root writes through permissions).
    QStringList runProbe(const QStringList &arguments)
    {
        QProcess probe;
        probe.setProcessEnvironment(m_probeEnvironment);
        if (geteuid() == 0)
            probe.start(QStringLiteral("setpriv"),
                        QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                    QStringLiteral("--clear-groups"), m_probe} +
                            arguments);
        else
            probe.start(m_probe, arguments);
        if (!probe.waitForFinished(60000))
            return {QStringLiteral("timeout")};
        // The exit status counts too: a sanitizer's report in the child ends it with another one.
        return QString::fromUtf8(probe.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts) +
               QStringList{QStringLiteral("exit: %1")
                               .arg(probe.exitStatus() == QProcess::NormalExit ? QString::number(probe.exitCode())
                                                                               : QStringLiteral("crashed"))};
    }

private Q_SLOTS:
    void initTestCase()
    {
        installTileFaces();
        QVERIFY(m_folder.isValid());
        // The unprivileged probe must reach the folder.
        QVERIFY(QFile::setPermissions(m_folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                           QFile::ReadOther | QFile::ExeOther));
        QVERIFY(prepareProbe());
        CommonDlg::setPrompt([this](const SaveDialogRequest &request) {
            m_requests.append(request);
            return m_answer;
        });
        setSaveWarningPresenter(
            [this](const QString &title, const QString &text) { m_warnings.append(title + QLatin1Char('|') + text); });
    }
    void init()
    {
        m_requests.clear();
        m_warnings.clear();
        m_fixture.open();
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture.window.get()));
    }
    void cleanup() { m_fixture.close(); }

    void shouldSaveTheSixTilesAsOneBottomUpBitmap()
    {
        saveAs(pathOf(QStringLiteral("sheet.bmp")));
        QVERIFY(m_warnings.isEmpty());
        const QByteArray bytes = readAll(pathOf(QStringLiteral("sheet.bmp")));
        QCOMPARE(bytes.size(), qsizetype(324054));
        const QImage expected = expectedSheet(m_fixture);
        // First row in the file: bottom rows of 画板5 and 画板6; last row: top rows of 画板1 and 画板2.
        for (int x = 0; x < 180; ++x) {
            QCOMPARE(filePixel(bytes, x, 299), m_fixture.raster(5).pixel(x, 99));
            QCOMPARE(filePixel(bytes, 180 + x, 299), m_fixture.raster(6).pixel(x, 99));
            QCOMPARE(filePixel(bytes, x, 0), m_fixture.raster(1).pixel(x, 0));
            QCOMPARE(filePixel(bytes, 180 + x, 0), m_fixture.raster(2).pixel(x, 0));
        }
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 360; ++x)
                QCOMPARE(filePixel(bytes, x, y), expected.pixel(x, y));
        // An independent reader sees the same picture.
        QImage decoded(pathOf(QStringLiteral("sheet.bmp")));
        QCOMPARE(decoded.convertToFormat(QImage::Format_RGB32), expected);
        QCOMPARE(m_fixture.window->panel(u"保存图片")->raster(), expected);
    }

    void shouldHoldMostlyTheBackgroundBytes_data()
    {
        QTest::addColumn<bool>("inverted");
        QTest::addColumn<char>("background");
        QTest::newRow("反色 ticked: black") << true << char(0x00);
        QTest::newRow("反色 unticked: white") << false << char(0xFF);
    }
    void shouldHoldMostlyTheBackgroundBytes()
    {
        QFETCH(bool, inverted);
        QFETCH(char, background);
        m_fixture.inverted()->setChecked(inverted);
        m_fixture.clickPreview();
        saveAs(pathOf(QStringLiteral("scheme.bmp")));
        const QByteArray pixels = readAll(pathOf(QStringLiteral("scheme.bmp"))).mid(54);
        QCOMPARE(pixels.size(), qsizetype(324000));
        QVERIFY(pixels.count(background) > pixels.size() * 3 / 4);
    }

    void shouldBeReadAsA24BitBitmapByImageMagick()
    {
        const QString identify = QStandardPaths::findExecutable(QStringLiteral("identify"));
        if (identify.isEmpty())
            QSKIP("ImageMagick is not installed");
        saveAs(pathOf(QStringLiteral("outside.bmp")));
        QProcess reader;
        reader.start(identify, {QStringLiteral("-format"), QStringLiteral("%m %wx%h %z %[channels]"),
                                pathOf(QStringLiteral("outside.bmp"))});
        QVERIFY(reader.waitForFinished(30000));
        const QString seen = QString::fromUtf8(reader.readAllStandardOutput()).trimmed();
        QVERIFY2(seen.startsWith(QStringLiteral("BMP3 360x300 8 srgb")), qPrintable(seen));
    }

    void shouldDoNothingWhenTheDialogIsCancelled()
    {
        const QImage before = m_fixture.window->panel(u"保存图片")->raster().copy();
        saveAs(std::nullopt);
        QCOMPARE(m_requests.size(), 1);
        QCOMPARE(m_fixture.window->panel(u"保存图片")->raster(), before);
        QCOMPARE(m_fixture.window->panel(u"保存图片")->size(), QSize(56, 32));
        QVERIFY(m_warnings.isEmpty());
    }

    void shouldAskForABitmapNameStartingInThePicturesFolder()
    {
        saveAs(std::nullopt);
        const SaveDialogRequest &first = m_requests.constFirst();
        QCOMPARE(first.nameFilters, QStringList{QStringLiteral("位图文件(*.bmp)")});
        QCOMPARE(first.selectedNameFilter, QStringLiteral("位图文件(*.bmp)"));
        QCOMPARE(first.defaultSuffix, QStringLiteral("bmp"));
        QVERIFY(first.confirmOverwrite);
        QCOMPARE(first.initialPath, CommonDlg::firstSaveFolder());
        QVERIFY(first.initialPath != QCoreApplication::applicationDirPath());
    }

    void shouldProposeTheLastPathAndWriteTheSameFileAgain()
    {
        const QString path = pathOf(QStringLiteral("again.bmp"));
        saveAs(path);
        const QByteArray first = readAll(path);
        saveAs(path);
        QCOMPARE(m_requests.size(), 2);
        QCOMPARE(m_requests.at(1).initialPath, path);
        QCOMPARE(readAll(path), first);
        saveAs(std::nullopt); // a cancel keeps the path proposed
        QCOMPARE(m_requests.at(2).initialPath, path);
    }

    void shouldSaveTheLastPreviewNotTheTypedNames()
    {
        const QString previewed = pathOf(QStringLiteral("previewed.bmp"));
        const QString later = pathOf(QStringLiteral("later.bmp"));
        saveAs(previewed);
        m_fixture.field(1)->setText(QStringLiteral("张三"));
        m_fixture.field(2)->setText(QStringLiteral("Zhang San"));
        m_fixture.inverted()->setChecked(false);
        saveAs(later);
        QCOMPARE(readAll(later), readAll(previewed));
    }

    void shouldReportAMissingFolderAndCreateNothing()
    {
        const QString path = pathOf(QStringLiteral("no-such-folder/sheet.bmp"));
        saveAs(path);
        QCOMPARE(m_warnings.size(), 1);
        QVERIFY(m_warnings.constFirst().startsWith(QStringLiteral("保存图片|")));
        QVERIFY(m_warnings.constFirst().contains(QDir::toNativeSeparators(path)));
        QVERIFY(!QFile::exists(path));
    }

    void shouldWriteNothingForAnEmptyPictureOrName()
    {
        const QString path = pathOf(QStringLiteral("empty.bmp"));
        const WriteOutcome emptyPicture = WriteToFile(path, QByteArray());
        QVERIFY(!emptyPicture.written);
        QVERIFY(!emptyPicture.reason.isEmpty());
        QVERIFY(!QFile::exists(path));
        QVERIFY(!WriteToFile(QString(), QByteArray("BM")).written);
    }

    // Each case leaves an existing target exactly as it was, leaves no temporary file behind, and
    // says so in the warning box, naming the cause in the system's words. The saving runs in a child
    // process that cannot write as root can.
    void shouldLeaveTheOldFileIntactWhenSavingFails_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("cause");
        QTest::newRow("read-only file") << QStringLiteral("read-only file") << QStringList() << EACCES;
        QTest::newRow("full disk") << QStringLiteral("full disk")
                                   << QStringList{QStringLiteral("--file-size-limit"), QStringLiteral("100000")}
                                   << EFBIG;
    }
    void shouldLeaveTheOldFileIntactWhenSavingFails()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, extra);
        QFETCH(int, cause);
        const QString folder = pathOf(QString(setup).replace(QLatin1Char(' '), QLatin1Char('-')));
        const QString target = folder + QStringLiteral("/old.bmp");
        QVERIFY(prepareOldFile(folder, 0777, setup == QStringLiteral("read-only file") ? 0444 : 0666));
        const QStringList before = entriesOf(folder);

        const QStringList output = runProbe(QStringList{target} + extra);
        ::chmod(qPrintable(folder), 0777);

        QVERIFY2(output.contains(QStringLiteral("done")) && output.contains(QStringLiteral("exit: 0")),
                 qPrintable(output.join(QLatin1Char('\n'))));
        const QStringList warnings = output.filter(QStringLiteral("warning: 保存图片|"));
        QCOMPARE(warnings.size(), 1);
        QVERIFY(warnings.constFirst().contains(target));
        // The text runs over several lines, up to the probe's "done".
        const QString joined = output.join(QLatin1Char('\n'));
        const QString warning = joined.mid(joined.indexOf(QStringLiteral("warning: ")));
        QVERIFY2(warning.contains(QString::fromLocal8Bit(std::strerror(cause))), qPrintable(warning));
        QCOMPARE(readAll(target), kOld);
        QCOMPARE(entriesOf(folder), before);
    }

    // Where the folder takes no new file, or the new file could not keep the old one's owner, the
    // file is written in place, so whoever may write the file can save over it.
    void shouldSaveOverAWritableFileTheFolderOrOwnerWouldStop_data()
    {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<bool>("someoneElses");
        QTest::newRow("read-only folder, writable file") << 0555 << false;
        QTest::newRow("another user's writable file") << 0777 << true;
    }
    void shouldSaveOverAWritableFileTheFolderOrOwnerWouldStop()
    {
        QFETCH(int, folderMode);
        QFETCH(bool, someoneElses);
        if (someoneElses && geteuid() != 0)
            QSKIP("the probe runs as another user only when this test is root");
        const QString folder = pathOf(QStringLiteral("writable-file-%1").arg(folderMode, 0, 8));
        const QString target = folder + QStringLiteral("/old.bmp");
        QVERIFY(prepareOldFile(folder, mode_t(folderMode), 0666));
        struct stat before = {};
        QVERIFY(::stat(qPrintable(target), &before) == 0);
        const QStringList entries = entriesOf(folder);

        const QStringList output = runProbe({target});
        ::chmod(qPrintable(folder), 0777);

        QVERIFY2(output.contains(QStringLiteral("done")) && output.contains(QStringLiteral("exit: 0")),
                 qPrintable(output.join(QLatin1Char('\n'))));
        QVERIFY2(output.filter(QStringLiteral("warning:")).isEmpty(), qPrintable(output.join(QLatin1Char('\n'))));
        const QByteArray saved = readAll(target);
        QCOMPARE(saved.size(), qsizetype(324054));
        QVERIFY(saved.startsWith("BM"));
        struct stat after = {};
        QVERIFY(::stat(qPrintable(target), &after) == 0);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(entriesOf(folder), entries);
    }

    void shouldWarnAndLeaveAFifoAsItWas()
    {
        const QString fifo = pathOf(QStringLiteral("pipe.bmp"));
        QVERIFY(::mkfifo(qPrintable(fifo), 0666) == 0);
        saveAs(fifo);
        QCOMPARE(m_warnings.size(), 1);
        QVERIFY2(m_warnings.constFirst().contains(QStringLiteral("不是普通文件")), qPrintable(m_warnings.constFirst()));
        QFileInfo after(fifo);
        QVERIFY(!after.isFile() && after.exists());
    }

    void shouldSaveFromTheProbeWhenNothingStandsInTheWay()
    {
        // The same child, unhindered, does write: the failures above are the conditions' doing.
        const QString folder = pathOf(QStringLiteral("open-folder"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(qPrintable(folder), 0777) == 0);
        const QStringList output = runProbe({folder + QStringLiteral("/new.bmp")});
        QVERIFY2(output.contains(QStringLiteral("done")) && output.contains(QStringLiteral("exit: 0")),
                 qPrintable(output.join(QLatin1Char('\n'))));
        QVERIFY(output.filter(QStringLiteral("warning:")).isEmpty());
        QCOMPARE(QFileInfo(folder + QStringLiteral("/new.bmp")).size(), qint64(324054));
    }
};

QTEST_MAIN(TestSheetExport)
#include "tst_sheet_export.moc"
