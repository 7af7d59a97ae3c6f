#include "render/tile_renderer.h"
#include "tile_fixture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <unistd.h>

// A broken install: the bundled font folder is missing (SIGNATURE_FONTS_DIR points where nothing is),
// so this process never loads the bundled faces.
class TestMissingFonts : public QObject
{
    Q_OBJECT

    TileWindowFixture m_fixture;
    QTemporaryDir m_folder;
    QString m_stderr;

    static QStringList allBundledFiles()
    {
        QStringList files;
        for (const BundledFace &face : bundledFaces())
            files.append(QString::fromLatin1(face.file));
        return files;
    }

    // What `call` writes on standard error.
    template <typename Call>
    static QString standardErrorOf(Call call)
    {
        QTemporaryFile capture;
        if (!capture.open())
            return QStringLiteral("no capture file");
        std::fflush(stderr);
        const int saved = dup(STDERR_FILENO);
        dup2(capture.handle(), STDERR_FILENO);
        call();
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
        capture.seek(0);
        return QString::fromUtf8(capture.readAll());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        qputenv("SIGNATURE_FONTS_DIR", m_folder.filePath(QStringLiteral("gone")).toLocal8Bit());
        int loaded = -1;
        m_stderr = standardErrorOf([&loaded] { loaded = installTileFaces(); });
        QCOMPARE(loaded, 0);
        // Said once, however often the faces are installed.
        QCOMPARE(standardErrorOf([] { installTileFaces(); }), QString());
    }
    void init()
    {
        m_fixture.open();
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture.window.get()));
    }
    void cleanup() { m_fixture.close(); }

    void shouldNameEveryMissingFileOnceOnStandardError()
    {
        QCOMPARE(m_stderr.count(QLatin1Char('\n')), 1);
        for (const QString &file : allBundledFiles())
            QVERIFY2(m_stderr.contains(file), qPrintable(m_stderr));
        QVERIFY2(m_stderr.contains(m_folder.filePath(QStringLiteral("gone"))), qPrintable(m_stderr));
        QCOMPARE(missingBundledFiles(), allBundledFiles());
    }

    void shouldSayInEachTileTooltipWhichFileIsMissing_data()
    {
        QTest::addColumn<int>("tile");
        QTest::addColumn<QString>("file");
        QTest::newRow("seal") << 1 << QStringLiteral("ZCOOLXiaoWei-Regular.ttf");
        QTest::newRow("cursive") << 2 << QStringLiteral("LiuJianMaoCao-Regular.ttf");
        QTest::newRow("running hand") << 3 << QStringLiteral("LongCang-Regular.ttf");
        QTest::newRow("art") << 4 << QStringLiteral("ZhiMangXing-Regular.ttf");
        QTest::newRow("English 1") << 5 << QStringLiteral("GreatVibes-Regular.ttf");
        QTest::newRow("English 2") << 6 << QStringLiteral("DancingScript-Regular.ttf");
    }
    void shouldSayInEachTileTooltipWhichFileIsMissing()
    {
        QFETCH(int, tile);
        QFETCH(QString, file);
        const QString tip = m_fixture.tile(tile)->toolTip();
        QVERIFY2(tip.startsWith(TileFonts().item(tile) + QStringLiteral(" → ")), qPrintable(tip));
        QVERIFY2(tip.endsWith(QStringLiteral("（缺少字体文件 %1）").arg(file)), qPrintable(tip));
    }

    // The real program with a folder that has all but two of the files names just those two.
    void shouldNameOnlyTheFilesMissingFromAPartialFolderAtStartUp()
    {
        const QString partial = m_folder.filePath(QStringLiteral("partial"));
        QVERIFY(QDir().mkpath(partial));
        const QStringList missing = {QStringLiteral("LongCang-Regular.ttf"), QStringLiteral("GreatVibes-Regular.ttf")};
        for (const QString &file : allBundledFiles())
            if (!missing.contains(file))
                QVERIFY(QFile::link(QStringLiteral(SIGNATURE_FONTS) + QLatin1Char('/') + file,
                                    QDir(partial).filePath(file)));
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("SIGNATURE_FONTS_DIR"), partial);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_folder.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_folder.filePath(QStringLiteral("data")));
        program.setProcessEnvironment(environment);
        program.setReadChannel(QProcess::StandardError);
        program.start(QStringLiteral(PROGRAM), {});
        QVERIFY(program.waitForStarted());
        QString said;
        while (!said.contains(QStringLiteral("改用其他字体")) && program.waitForReadyRead(20000))
            said += QString::fromUtf8(program.readAllStandardError());
        program.kill();
        program.waitForFinished();
        for (const QString &file : allBundledFiles())
            QVERIFY2(said.contains(file) == missing.contains(file), qPrintable(file + QLatin1Char('|') + said));
    }
};

QTEST_MAIN(TestMissingFonts)
#include "tst_missing_fonts.moc"
