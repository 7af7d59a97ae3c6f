// Batches of the command line, run as a separate process on CSV files.
#include "cli_fixture.h"
#include "export/image_export.h"
#include "export_fixture.h"
#include "render/tile_renderer.h"

#include "app/globals.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

QStringList batchArguments(const QString &csv, const QString &folder, const QStringList &more = {})
{
    return QStringList{QStringLiteral("--batch"), csv, QStringLiteral("--output-dir"), folder} + more;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray expectedSheet(const QString &chinese, const QString &english, ExportFormat format = ExportFormat::Bmp)
{
    QList<TileJob> jobs;
    for (int k = 1; k <= 6; ++k)
        jobs.append(tileJob(k, QString::fromUtf16(DefaultTileCaptions[std::size_t(k - 1)]),
                            QString::fromUtf16(DefaultTileFonts[std::size_t(k - 1)]), chinese, english));
    return exportBytes(jobs, true, asPreview(format, 1));
}

// Rows of `distinct` names over and over, so that numbered names fall into both halves of a shard.
QByteArray manyRows(int rows, int distinct)
{
    const QString surnames = QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗");
    const QString given = QStringLiteral("伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超霞");
    QByteArray csv;
    for (int i = 0; i < rows; ++i) {
        const int k = i % distinct;
        const QString name = QString(surnames[k % surnames.size()]) + given[(k / surnames.size()) % given.size()];
        csv += (name + QStringLiteral(",Row %1\n").arg(i)).toUtf8();
    }
    return csv;
}

// Name -> bytes of every file in a folder.
QHash<QString, QByteArray> contents(const QString &folder)
{
    QHash<QString, QByteArray> files;
    for (const QString &name : filesIn(folder))
        files.insert(name, fileBytes(QDir(folder).filePath(name)));
    return files;
}

} // namespace

class TestCliBatch : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

    QString path(const QString &name) const { return m_folder.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        installTileFaces();
        QVERIFY(m_folder.isValid());
    }

    void shouldWriteTheGoodRowsReportTheBadOnesAndNeverOverwriteUnasked()
    {
        QByteArray csv = "\xEF\xBB\xBF"
                         "chinese,english\r\n"                     // 1: a header
                         "王羲之,Wang Xizhi\r\n"                   // 2
                         "\"李白\",\"Li \"\"Taibai\"\", Bai\"\r\n" // 3: quotes, a comma, doubled quotes
                         "\r\n"                                    // 4: empty
                         "杜甫,Du Fu,\"杜甫\r\nsheet.png\"\r\n"    // 5-6: a file name over two lines
                         "\xC3\x28,bad\r\n"                        // 7: not UTF-8
                         "王羲之,Wang Xizhi again\r\n"             // 8: the same name again
                         "苏轼,";                                  // 9: no line end, no English
        csv += QString(1001, QChar(0x5B57)).toUtf8() + "\r\n";     // (9) a name too long
        csv += "a/b:c,slashes\r\n";                                // 10
        writeFile(path(QStringLiteral("names.csv")), csv);
        const QStringList arguments = batchArguments(QStringLiteral("names.csv"), QStringLiteral("out"));

        CliRun run = runCli(arguments, m_folder.path());
        QCOMPARE(run.status, 1);
        QCOMPARE(run.errLines(), (QStringList{QStringLiteral("names.csv:7: bad UTF-8"),
                                              QStringLiteral("names.csv:9: a name longer than 1,000 characters"),
                                              QStringLiteral("5 written, 2 failed, 0 skipped")}));
        const QString out = path(QStringLiteral("out"));
        const QHash<QString, QByteArray> written = contents(out);
        QCOMPARE(written.size(), 5);
        QVERIFY(written.value(QStringLiteral("王羲之.bmp")) ==
                expectedSheet(QStringLiteral("王羲之"), QStringLiteral("Wang Xizhi")));
        QVERIFY(written.value(QStringLiteral("李白.bmp")) ==
                expectedSheet(QStringLiteral("李白"), QStringLiteral("Li \"Taibai\", Bai")));
        QVERIFY(written.value(QStringLiteral("杜甫__sheet.png")) ==
                expectedSheet(QStringLiteral("杜甫"), QStringLiteral("Du Fu"), ExportFormat::Png));
        QVERIFY(written.value(QStringLiteral("王羲之-2.bmp")) ==
                expectedSheet(QStringLiteral("王羲之"), QStringLiteral("Wang Xizhi again")));
        QVERIFY(written.value(QStringLiteral("a_b_c.bmp")) ==
                expectedSheet(QStringLiteral("a/b:c"), QStringLiteral("slashes")));

        // Again: every file is there, so every row is skipped and no file changes.
        const QDateTime before = QFileInfo(QDir(out).filePath(QStringLiteral("李白.bmp"))).lastModified();
        QTest::qWait(20);
        run = runCli(arguments, m_folder.path());
        QCOMPARE(run.status, 1);
        QCOMPARE(run.errLines().last(), QStringLiteral("0 written, 2 failed, 5 skipped"));
        QCOMPARE(contents(out), written);
        QCOMPARE(QFileInfo(QDir(out).filePath(QStringLiteral("李白.bmp"))).lastModified(), before);

        run = runCli(arguments + QStringList{QStringLiteral("--overwrite")}, m_folder.path());
        QCOMPARE(run.errLines().last(), QStringLiteral("5 written, 2 failed, 0 skipped"));
        QCOMPARE(contents(out), written);
    }

    void shouldSplitIntoShardsThatTogetherWriteTheWholeRun()
    {
        writeFile(path(QStringLiteral("many.csv")), manyRows(40, 15));
        const QString csv = QStringLiteral("many.csv");
        QCOMPARE(runCli(batchArguments(csv, QStringLiteral("whole"), {QStringLiteral("--jobs"), QStringLiteral("3")}),
                        m_folder.path())
                     .status,
                 0);
        for (const char *shard : {"0/2", "1/2"})
            QCOMPARE(runCli(batchArguments(csv, QStringLiteral("shards"),
                                           {QStringLiteral("--shard"), QString::fromLatin1(shard)}),
                            m_folder.path())
                         .status,
                     0);
        const QHash<QString, QByteArray> whole = contents(path(QStringLiteral("whole")));
        QCOMPARE(whole.size(), 40);
        QVERIFY(whole.contains(QStringLiteral("王伟-2.bmp"))); // numbered names are part of the test
        QCOMPARE(contents(path(QStringLiteral("shards"))), whole);

        // One thread draws exactly what three drew.
        QCOMPARE(runCli(batchArguments(csv, QStringLiteral("one"), {QStringLiteral("--jobs"), QStringLiteral("1")}),
                        m_folder.path())
                     .status,
                 0);
        QCOMPARE(contents(path(QStringLiteral("one"))), whole);
    }

    void shouldReadStandardInputAndProposeMissingRomanisedNames()
    {
        const CliRun run = runCli({QStringLiteral("--batch"), QStringLiteral("-"), QStringLiteral("--output-dir"),
                                   QStringLiteral("stdin"), QStringLiteral("--english"), QStringLiteral("auto"),
                                   QStringLiteral("--format"), QStringLiteral("png")},
                                  m_folder.path(), "欧阳修\n曾国藩,Marquis Zeng\n");
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QStringLiteral("2 written, 0 failed, 0 skipped\n"));
        const QString out = path(QStringLiteral("stdin"));
        QVERIFY(fileBytes(QDir(out).filePath(QStringLiteral("欧阳修.png"))) ==
                expectedSheet(QStringLiteral("欧阳修"), QStringLiteral("Ouyang Xiu"), ExportFormat::Png));
        QVERIFY(fileBytes(QDir(out).filePath(QStringLiteral("曾国藩.png"))) ==
                expectedSheet(QStringLiteral("曾国藩"), QStringLiteral("Marquis Zeng"), ExportFormat::Png));
    }

    void shouldLeaveOnlyCompleteFilesWhenKilled()
    {
        writeFile(path(QStringLiteral("kill.csv")), manyRows(2000, 400));
        const QString out = path(QStringLiteral("killed"));
        QProcess batch;
        batch.setWorkingDirectory(m_folder.path());
        batch.start(QStringLiteral(SIGNATURE_PROGRAM),
                    batchArguments(QStringLiteral("kill.csv"), out, {QStringLiteral("--jobs"), QStringLiteral("2")}));
        QVERIFY(batch.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(filesIn(out).size() >= 100, 120000);
        ::kill(pid_t(batch.processId()), SIGKILL);
        QVERIFY(batch.waitForFinished());
        const QStringList present = filesIn(out);
        QVERIFY2(present.size() < 2000, "killed too late to test anything");
        const QByteArray first = expectedSheet(QStringLiteral("王伟"), QStringLiteral("Row 0"));
        for (const QString &name : present) {
            if (!name.endsWith(QLatin1String(".bmp")))
                continue; // a temporary file: the next run must remove it
            const QByteArray bytes = fileBytes(QDir(out).filePath(name));
            QCOMPARE(bytes.size(), qsizetype(324054));
            QCOMPARE(QImage::fromData(bytes, "BMP").size(), QSize(360, 300));
        }
        QVERIFY(fileBytes(QDir(out).filePath(QStringLiteral("王伟.bmp"))) == first);

        const CliRun again = runCli(batchArguments(QStringLiteral("kill.csv"), out), m_folder.path());
        QCOMPARE(again.status, 0);
        const QStringList after = filesIn(out);
        QCOMPARE(after.size(), 2000);
        QVERIFY(after.filter(QRegularExpression(QStringLiteral("\\.bmp$"))).size() == 2000);
    }

    void shouldRemoveWhatAKilledWriteLeftForItsOwnNamesOnly()
    {
        const QString out = path(QStringLiteral("leftovers"));
        QVERIFY(QDir().mkpath(out));
        for (const char *name : {".王羲之.bmp.1ab2cd", ".李白.bmp.x9y8z", ".其他.bmp.1ab2cd", ".notes.txt.1ab2cd"})
            writeFile(QDir(out).filePath(QString::fromUtf8(name)), "half a file");
        writeFile(path(QStringLiteral("two.csv")), "王羲之,Wang Xizhi\n李白,Li Bai\n");
        QCOMPARE(runCli(batchArguments(QStringLiteral("two.csv"), out), m_folder.path()).status, 0);
        QCOMPARE(filesIn(out), (QStringList{QStringLiteral(".notes.txt.1ab2cd"), QStringLiteral(".其他.bmp.1ab2cd"),
                                            QStringLiteral("李白.bmp"), QStringLiteral("王羲之.bmp")}));
    }

    void shouldShowProgressOnlyOnATerminal()
    {
        writeFile(path(QStringLiteral("progress.csv")), manyRows(30, 30));
        const QStringList arguments =
            batchArguments(QStringLiteral("progress.csv"), QStringLiteral("progress"), {QStringLiteral("--overwrite")});
        const CliRun plain = runCli(arguments, m_folder.path());
        QCOMPARE(plain.err, QStringLiteral("30 written, 0 failed, 0 skipped\n"));

        const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
        if (script.isEmpty())
            QSKIP("script(1) is missing: no terminal to run in");
        QString command = QStringLiteral(SIGNATURE_PROGRAM);
        for (const QString &argument : arguments)
            command += QLatin1Char(' ') + argument;
        QProcess terminal;
        terminal.setWorkingDirectory(m_folder.path());
        terminal.start(script, {QStringLiteral("-qec"), command, QStringLiteral("/dev/null")});
        QVERIFY(terminal.waitForFinished(120000));
        const QString seen = QString::fromUtf8(terminal.readAllStandardOutput());
        QVERIFY2(seen.contains(QStringLiteral(" / 30 rows, ")) && seen.contains(QStringLiteral(" rows/s")),
                 qPrintable(seen));
        QVERIFY(seen.contains(QStringLiteral("30 written, 0 failed, 0 skipped")));
    }
};

QTEST_MAIN(TestCliBatch)
#include "tst_cli_batch.moc"
