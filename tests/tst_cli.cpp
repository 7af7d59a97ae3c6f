// The command line run as a separate process, against the window and the export it must match.
#include "cli_fixture.h"
#include "export/image_export.h"
#include "pinyin/pinyin.h"
#include "tile_fixture.h"
#include "ui/common_dlg.h"

#include <QTemporaryDir>

Q_DECLARE_METATYPE(ExportOptions)

namespace {

const QString kChinese = QStringLiteral("王羲之");
const QString kEnglish = QStringLiteral("Wang Xizhi");

ExportOptions choices(ExportFormat format, int scale, ExportBackground background, std::optional<QColor> ink,
                      bool trim = false, bool withCaption = true)
{
    ExportOptions options;
    options.format = format;
    options.scale = scale;
    options.background = background;
    options.ink = ink;
    options.trim = trim;
    options.withCaption = withCaption;
    return options;
}

QStringList args(std::initializer_list<QAnyStringView> items)
{
    QStringList list;
    for (QAnyStringView item : items)
        list.append(item.toString());
    return list;
}

QStringList nameArguments(const QString &chinese, const QString &english)
{
    return {QStringLiteral("--chinese"), chinese, QStringLiteral("--english"), english};
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    TileWindowFixture m_fixture;
    QTemporaryDir m_folder;

    // The sheet the window's 保存图片 writes after a preview of these names.
    QByteArray savedByTheWindow(const QString &chinese, const QString &english, bool inverted)
    {
        const QString path = m_folder.filePath(QStringLiteral("window.bmp"));
        QFile::remove(path);
        m_fixture.open();
        m_fixture.field(1)->setText(chinese);
        m_fixture.field(2)->setText(english);
        m_fixture.inverted()->setChecked(inverted);
        m_fixture.clickPreview();
        CommonDlg::setPrompt([&path](const SaveDialogRequest &) { return std::optional<QString>(path); });
        m_fixture.clickSave();
        CommonDlg::setPrompt({});
        m_fixture.close();
        return fileBytes(path);
    }

private Q_SLOTS:
    void initTestCase()
    {
        installTileFaces();
        QVERIFY(m_folder.isValid());
    }

    void shouldWriteTheSheetTheWindowSaves_data()
    {
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::addColumn<bool>("inverted");
        QTest::newRow("white on black") << kChinese << kEnglish << true;
        QTest::newRow("black on white (--light)") << kChinese << kEnglish << false;
        // 龘 is in none of the bundled calligraphy faces: it falls back to another font, which
        // depends on every font the window loads.
        QTest::newRow("a character the faces lack") << QStringLiteral("王龘") << QStringLiteral("Wang Da") << true;
        QTest::newRow("no names") << QString() << QString() << false;
    }
    void shouldWriteTheSheetTheWindowSaves()
    {
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        QFETCH(bool, inverted);
        const QByteArray window = savedByTheWindow(chinese, english, inverted);
        QCOMPARE(window.size(), qsizetype(324054));
        QStringList arguments = nameArguments(chinese, english) + args({QStringLiteral("-o"), "cli.bmp"});
        if (!inverted)
            arguments.append(QStringLiteral("--light"));
        const CliRun run = runCli(arguments, m_folder.path());
        QVERIFY2(run.status == 0 && run.err.isEmpty(), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QVERIFY(fileBytes(m_folder.filePath(QStringLiteral("cli.bmp"))) == window);
    }

    void shouldWriteATileAsTheExportDialogDoes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("tile");
        QTest::addColumn<bool>("inverted");
        QTest::addColumn<ExportOptions>("options");
        QTest::addColumn<QString>("face"); // empty: the window's
        QTest::newRow("PNG as the tile shows it")
            << args({"--tile", "2", "-o", "t.png"}) << 2 << true
            << choices(ExportFormat::Png, 1, ExportBackground::AsPreview, {}) << QString();
        QTest::newRow("PNG x4, blue-black on transparent, trimmed")
            << args({"--tile", "5", "--scale", "4", "--background", "transparent", "--ink", "#1F3A93", "--trim", "-o",
                     "t.png"})
            << 5 << true << choices(ExportFormat::Png, 4, ExportBackground::Transparent, kBlueInk, true) << QString();
        QTest::newRow("PNG x2, light, red on white, no caption")
            << args({"--light", "--tile", "3", "--scale", "2", "--background", "white", "--ink", "#C0272D",
                     "--no-caption", "-o", "t.png"})
            << 3 << false << choices(ExportFormat::Png, 2, ExportBackground::White, kRedInk, false, false) << QString();
        QTest::newRow("BMP x8, a named ink on black")
            << args({"--tile", "1", "--scale", "8", "--background", "black", "--ink", "gold", "-o", "t.bmp"}) << 1
            << true << choices(ExportFormat::Bmp, 8, ExportBackground::Black, QColor(255, 215, 0)) << QString();
        QTest::newRow("SVG outlines") << args({"--tile", "4", "--ink", "black", "--background", "transparent", "-o",
                                               "t.svg"})
                                      << 4 << true
                                      << choices(ExportFormat::Svg, 1, ExportBackground::Transparent, Qt::black)
                                      << QString();
        QTest::newRow("PNG to standard output")
            << args({"--tile", "6", "--format", "png", "-o", "-"}) << 6 << true
            << choices(ExportFormat::Png, 1, ExportBackground::AsPreview, {}) << QString();
        QTest::newRow("a face from a font file")
            << args({"--tile", "1", "--face", "1=" SIGNATURE_FONTS_DIR "/GreatVibes-Regular.ttf", "-o", "t.png"}) << 1
            << true << choices(ExportFormat::Png, 1, ExportBackground::AsPreview, {}) << QStringLiteral("Great Vibes");
        QTest::newRow("a face by its family")
            << args({"--tile", "2", "--face", "2=Dancing Script", "-o", "t.png"}) << 2 << false
            << choices(ExportFormat::Png, 1, ExportBackground::AsPreview, {}) << QStringLiteral("Dancing Script");
    }
    void shouldWriteATileAsTheExportDialogDoes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, tile);
        QFETCH(bool, inverted);
        QFETCH(ExportOptions, options);
        QFETCH(QString, face);
        if (!inverted && !arguments.contains(QStringLiteral("--light")))
            arguments.prepend(QStringLiteral("--light"));
        const CliRun run = runCli(nameArguments(kChinese, kEnglish) + arguments, m_folder.path());
        QVERIFY2(run.status == 0 && run.err.isEmpty(), qPrintable(run.err));
        const QString output = arguments.last();
        const QByteArray written = output == QLatin1String("-") ? run.out : fileBytes(m_folder.filePath(output));
        const qsizetype k = tile - 1;
        const TileJob job =
            tileJob(tile, QString::fromUtf16(DefaultTileCaptions[k]),
                    face.isEmpty() ? QString::fromUtf16(DefaultTileFonts[k]) : face, kChinese, kEnglish);
        const QByteArray expected = exportBytes({job}, inverted, options);
        QVERIFY(!expected.isEmpty());
        QVERIFY(written == expected);
    }

    void shouldProposeThePinyinForEnglishAuto()
    {
        const CliRun run = runCli(nameArguments(QStringLiteral("欧阳修"), QStringLiteral("auto")) +
                                      args({"--tile", "6", "--format", "png", "-o", "-"}),
                                  m_folder.path());
        QCOMPARE(run.status, 0);
        const QString proposed = proposeRomanisedName(u"欧阳修", NameOrder::SurnameFirst);
        QCOMPARE(proposed, QStringLiteral("Ouyang Xiu"));
        const TileJob job = tileJob(6, QString::fromUtf16(DefaultTileCaptions[5]),
                                    QString::fromUtf16(DefaultTileFonts[5]), QStringLiteral("欧阳修"), proposed);
        QVERIFY(run.out == exportBytes({job}, true, choices(ExportFormat::Png, 1, ExportBackground::AsPreview, {})));
    }

    void shouldRefuseWithOneLineAndWriteNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line");
        const QString sheet = QStringLiteral("sheet.bmp");
        QTest::newRow("unknown option") << args({"--colour", "red", "-o", sheet}) << 2
                                        << QStringLiteral("Unknown option 'colour'.");
        QTest::newRow("a toolkit option") << args({"-reverse"}) << 2 << QStringLiteral("Unknown option 'reverse'.");
        QTest::newRow("tile 0") << args({"--tile", "0", "-o", sheet}) << 2
                                << QStringLiteral("--tile takes a tile number from 1 to 6, not “0”");
        QTest::newRow("tile 7") << args({"--tile", "7", "-o", sheet}) << 2
                                << QStringLiteral("--tile takes a tile number from 1 to 6, not “7”");
        QTest::newRow("a bad colour") << args({"--ink", "#12345", "-o", sheet}) << 2
                                      << QStringLiteral("--ink takes a colour name or #RRGGBB, not “#12345”");
        QTest::newRow("a colour that is no ink") << args({"--ink", "transparent", "-o", sheet}) << 2
                                                 << QStringLiteral("--ink takes a colour name or #RRGGBB, not "
                                                                   "“transparent”");
        QTest::newRow("a missing value") << args({"-o", sheet, "--tile"}) << 2
                                         << QStringLiteral("Missing value after '--tile'.");
        QTest::newRow("shard 3/2") << args({"--batch", "names.csv", "--output-dir", "out", "--shard", "3/2"}) << 2
                                   << QStringLiteral("--shard takes K/N with 0 <= K < N, not “3/2”");
        QTest::newRow("nothing to write")
            << args({"--chinese", "王"}) << 2 << QStringLiteral("nothing to write: give --output FILE or --batch FILE");
        QTest::newRow("a format without a name")
            << args({"-o", "sheet.jpg"}) << 2
            << QStringLiteral("cannot tell the format of sheet.jpg: name it .bmp, .png or .svg, or give --format");
        QTest::newRow("a name over 1,000 characters") << args({"--chinese", QString(1001, QChar(0x738B)), "-o", sheet})
                                                      << 2 << QStringLiteral("a name longer than 1,000 characters");
        QTest::newRow("a font file that is no font") << args({"--face", "1=names.csv", "-o", sheet}) << 2
                                                     << QStringLiteral("names.csv is not a font file that can be read");
        QTest::newRow("an unwritable output folder")
            << args({"-o", "missing/sheet.bmp"}) << 1
            << QStringLiteral("cannot write missing/sheet.bmp: No such file or directory");
        QTest::newRow("a batch folder that cannot be made")
            << args({"--batch", "names.csv", "--output-dir", "names.csv/out"}) << 1
            << QStringLiteral("cannot make the folder names.csv/out");
        QTest::newRow("a list that cannot be read")
            << args({"--batch", "absent.csv", "--output-dir", "out"}) << 1
            << QStringLiteral("cannot read absent.csv: No such file or directory");
    }
    void shouldRefuseWithOneLineAndWriteNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, line);
        QTemporaryDir folder;
        QFile names(folder.filePath(QStringLiteral("names.csv")));
        QVERIFY(names.open(QIODevice::WriteOnly));
        names.write("王羲之,Wang Xizhi\n");
        names.close();
        const CliRun run = runCli(arguments, folder.path());
        QCOMPARE(run.status, status);
        const QStringList lines = run.errLines();
        QVERIFY2(!lines.isEmpty(), "nothing said");
        QCOMPARE(lines.first(), QStringLiteral("signature-designer: ") + line);
        // A usage error is followed by the usage; any other failure is the one line alone.
        if (status == 2)
            QVERIFY(lines.value(1).startsWith(QStringLiteral("Usage: signature-designer")));
        else
            QCOMPARE(lines.size(), 1);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(filesIn(folder.path()), QStringList{QStringLiteral("names.csv")});
    }

    void shouldShowHelpAndVersionOnStandardOutput()
    {
        const CliRun help = runCli({QStringLiteral("--help")});
        QCOMPARE(help.status, 0);
        for (const char *option : {"--chinese", "--english", "--output", "--tile", "--scale", "--background", "--ink",
                                   "--trim", "--no-caption", "--face", "--batch", "--output-dir", "--overwrite",
                                   "--jobs", "--shard", "--light", "--format"})
            QVERIFY2(help.out.contains(option), option);
        const CliRun version = runCli({QStringLiteral("--version")});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QByteArray("signature-designer 1.0\n"));
        QVERIFY(help.err.isEmpty() && version.err.isEmpty());
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
