// The command line's parts that need no process: CSV, rows, file names, values, reports, faces.
#include "cli/batch_report.h"
#include "cli/batch_rows.h"
#include "cli/cli_faces.h"
#include "cli/cli_options.h"
#include "cli/csv_reader.h"
#include "cli/file_names.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QTest>

Q_DECLARE_METATYPE(std::optional<QColor>)

namespace {

// Each record as "line:field|field", with " (unterminated)" when its quote never closed.
QStringList readRecords(const QByteArray &input)
{
    QBuffer buffer;
    buffer.setData(input);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer);
    QStringList records;
    for (CsvRecord record; reader.next(record);) {
        QStringList fields;
        for (const QByteArray &field : record.fields)
            fields.append(QString::fromUtf8(field));
        records.append(QString::number(record.line) + QLatin1Char(':') + fields.join(QLatin1Char('|')) +
                       (record.unterminated ? QStringLiteral(" (unterminated)") : QString()));
    }
    return records;
}

// Each row as "line #number chinese/english -> file" or "line #number: error".
QStringList readRows(const QByteArray &input, bool englishAuto = false)
{
    QBuffer buffer;
    buffer.setData(input);
    buffer.open(QIODevice::ReadOnly);
    BatchRowReader reader(buffer, {ExportFormat::Bmp, englishAuto});
    QStringList rows;
    for (BatchRow row; reader.next(row);) {
        const QString where = QStringLiteral("%1 #%2").arg(row.line).arg(row.number);
        rows.append(row.error.isEmpty()
                        ? QStringLiteral("%1 %2/%3 -> %4").arg(where, row.chinese, row.english, row.output.fileName)
                        : where + QStringLiteral(": ") + row.error);
    }
    return rows;
}

TileJob sheetTile(int k, const QString &name)
{
    return outputJobs(chooseTileFaces({}).faces, k, name, name).value(0);
}

} // namespace

class TestCliParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldReadCsvRecords_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("records");
        const auto list = [](std::initializer_list<const char *> items) {
            QStringList out;
            for (const char *item : items)
                out.append(QString::fromUtf8(item));
            return out;
        };
        QTest::newRow("CR LF, LF and CR ends")
            << QByteArray("a,b\r\nc,d\ne\rf") << list({"1:a|b", "2:c|d", "3:e", "4:f"});
        QTest::newRow("a byte order mark") << QByteArray("\xEF\xBB\xBF王,b\n") << list({"1:王|b"});
        QTest::newRow("commas and doubled quotes in quotes")
            << QByteArray("\"a,b\",\"c\"\"d\"\n") << list({"1:a,b|c\"d"});
        QTest::newRow("line breaks in quotes") << QByteArray("\"a\r\nb\",c\nd\n") << list({"1:a\r\nb|c", "3:d"});
        QTest::newRow("empty lines and fields") << QByteArray("a\n\n,,\nb") << list({"1:a", "2:", "3:||", "4:b"});
        QTest::newRow("a quote that never closes") << QByteArray("a,\"b\nc") << list({"1:a|b\nc (unterminated)"});
        QTest::newRow("a quote inside a plain field") << QByteArray("a\"b,c") << list({"1:a\"b|c"});
        QTest::newRow("text after a closing quote") << QByteArray("\"a\"b,c") << list({"1:ab|c"});
        QTest::newRow("nothing") << QByteArray() << QStringList();
    }
    void shouldReadCsvRecords()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, records);
        QCOMPARE(readRecords(input), records);
    }

    void shouldCapAFieldAndGoOn()
    {
        QBuffer buffer;
        buffer.setData(QByteArray(20000, 'x') + ",y\nnext\n");
        buffer.open(QIODevice::ReadOnly);
        CsvReader reader(buffer);
        CsvRecord record;
        QVERIFY(reader.next(record));
        QVERIFY(record.oversized);
        QCOMPARE(record.fields.first().size(), CsvReader::kMaxFieldBytes);
        QCOMPARE(record.fields.value(1), QByteArray("y"));
        QVERIFY(reader.next(record));
        QCOMPARE(record.fields, QList<QByteArray>{"next"});
        QCOMPARE(record.line, qint64(2));
    }

    void shouldNumberNameAndCheckRows_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("englishAuto");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("a header, a blank line, a bad row, a repeated name")
            << QByteArray("chinese,english\n\n 王 , W \n\xff,x\n王,W2\n李\n") << false
            << QStringList{QStringLiteral("3 #0 王/W -> 王.bmp"), QStringLiteral("4 #1: bad UTF-8"),
                           QStringLiteral("5 #2 王/W2 -> 王-2.bmp"), QStringLiteral("6 #3 李/ -> 李.bmp")};
        QTest::newRow("no header: the first row is a name")
            << QByteArray("王,W\n") << false << QStringList{QStringLiteral("1 #0 王/W -> 王.bmp")};
        QTest::newRow("a Chinese header, names given, a proposal")
            << QByteArray("姓名,拼音,文件\n曾国藩,,zeng.png\n李白,Li Bai,\"x/y\"\n") << true
            << QStringList{QStringLiteral("2 #0 曾国藩/Zeng Guofan -> zeng.png"),
                           QStringLiteral("3 #1 李白/Li Bai -> x_y.bmp")};
        QTest::newRow("a quote left open and a name too long")
            << QByteArray("a,\"b\n") + QByteArray(1001, 'n') + "\n"
            << false << QStringList{QStringLiteral("1 #0: a quoted field without its closing quote")};
        QTest::newRow("1,000 characters are allowed, 1,001 are not")
            << QString(QString(1000, QChar(0x738B)) + QStringLiteral("\n") + QString(1001, QChar(0x738B))).toUtf8()
            << false
            << QStringList{
                   QStringLiteral("1 #0 %1/ -> %2.bmp").arg(QString(1000, QChar(0x738B)), QString(66, QChar(0x738B))),
                   QStringLiteral("2 #1: a name longer than 1,000 characters")};
    }
    void shouldNumberNameAndCheckRows()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, englishAuto);
        QFETCH(QStringList, rows);
        QCOMPARE(readRows(input, englishAuto), rows);
    }

    void shouldMakeNamesAFileSystemHolds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::newRow("refused characters")
            << QStringLiteral("a/b\\c:d*e?f\"g<h>i|j\tk") << QStringLiteral("a_b_c_d_e_f_g_h_i_j_k");
        QTest::newRow("dots and blanks at the ends") << QStringLiteral("  ..hidden. ") << QStringLiteral("hidden");
        QTest::newRow("nothing left") << QStringLiteral(" ... ") << QStringLiteral("_");
        QTest::newRow("a reserved device name") << QStringLiteral("con") << QStringLiteral("con_");
        QTest::newRow("a reserved name with a dot") << QStringLiteral("LPT1.old") << QStringLiteral("LPT1_.old");
        QTest::newRow("not reserved") << QStringLiteral("console") << QStringLiteral("console");
        QTest::newRow("cut to 200 bytes") << QString(300, QChar(0x738B)) << QString(66, QChar(0x738B));
        QTest::newRow("never half a character")
            << QString::fromUtf8("😀").repeated(60) << QString::fromUtf8("😀").repeated(50);
    }
    void shouldMakeNamesAFileSystemHolds()
    {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QCOMPARE(sanitisedFileName(name), file);
    }

    void shouldNumberCollidingNamesInRowOrder()
    {
        OutputNamer namer(ExportFormat::Bmp);
        const auto next = [&](const char *chinese, const char *english, const char *given) -> QString {
            const OutputNamer::Named named =
                namer.name(QString::fromUtf8(chinese), QString::fromUtf8(english), QString::fromUtf8(given));
            return named.fileName + QLatin1Char(' ') + suffixOf(named.format);
        };
        QCOMPARE(next("王", "", ""), QStringLiteral("王.bmp bmp"));
        QCOMPARE(next("王", "W", ""), QStringLiteral("王-2.bmp bmp"));
        QCOMPARE(next("王-2", "", ""), QStringLiteral("王-2-2.bmp bmp")); // a name that was already made
        QCOMPARE(next("王", "", ""), QStringLiteral("王-3.bmp bmp"));
        QCOMPARE(next("", "Li Bai", ""), QStringLiteral("Li Bai.bmp bmp"));
        QCOMPARE(next("", "", ""), QStringLiteral("_.bmp bmp"));
        QCOMPARE(next("王", "", "Wang.PNG"), QStringLiteral("Wang.png png"));
        QCOMPARE(next("王", "", "wang.png"), QStringLiteral("wang-2.png png")); // case does not tell files apart
        QCOMPARE(next("王", "", "wang.jpg"), QStringLiteral("wang.jpg.bmp bmp"));
    }

    void shouldKnowTheAtomicWritesTemporaryFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("target");
        QTest::newRow("a sheet's") << QStringLiteral(".王.bmp.1ab2cd") << QStringLiteral("王.bmp");
        QTest::newRow("a picture's") << QStringLiteral(".a.b.PNG.z") << QStringLiteral("a.b.PNG");
        QTest::newRow("an output") << QStringLiteral("a.bmp") << QString();
        QTest::newRow("not hidden") << QStringLiteral("a.svg.abcde") << QString();
        QTest::newRow("another kind of file") << QStringLiteral(".a.txt.abcdef") << QString();
        QTest::newRow("too long a tail") << QStringLiteral(".a.bmp.abcdefgh") << QString();
        QTest::newRow("not base-36 digits") << QStringLiteral(".a.bmp.ab_def") << QString();
    }
    void shouldKnowTheAtomicWritesTemporaryFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, target);
        QCOMPARE(outputTemporaryTarget(file), target);
    }

    void shouldReadShardsAndInks()
    {
        const auto shard = [](const char *text) {
            const std::optional<Shard> parsed = parseShard(QString::fromLatin1(text));
            return parsed ? QStringLiteral("%1/%2").arg(parsed->index).arg(parsed->count) : QStringLiteral("-");
        };
        QCOMPARE(shard("0/2"), QStringLiteral("0/2"));
        QCOMPARE(shard("1/2"), QStringLiteral("1/2"));
        for (const char *bad : {"2/2", "3/2", "0/0", "-1/2", "1/-2", "1 /2", "1", "a/b", "1/2/3"})
            QCOMPARE(shard(bad), QStringLiteral("-"));
        QVERIFY(Shard({1, 3}).takes(4) && !Shard({1, 3}).takes(5));

        QCOMPARE(parseInk(QStringLiteral("#1F3A93")), std::optional<QColor>(kBlueInk));
        QCOMPARE(parseInk(QStringLiteral("#f00")), std::optional<QColor>(QColor(Qt::red)));
        QCOMPARE(parseInk(QStringLiteral("navy")), std::optional<QColor>(QColor(0, 0, 128)));
        for (const char *bad : {"#12345", "#801F3A93", "transparent", "nocolour", "", "1F3A93"})
            QVERIFY2(!parseInk(QString::fromLatin1(bad)), bad);
    }

    void shouldSummariseAndShowProgress()
    {
        QCOMPARE(batchSummary(1000, 2, 0), QStringLiteral("1,000 written, 2 failed, 0 skipped"));
        QCOMPARE(progressLine(1234, 10000, 2.0), QStringLiteral("1,234 / 10,000 rows, 617 rows/s, 0:14 left"));
        QCOMPARE(progressLine(1, 1000000, 1.0), QStringLiteral("1 / 1,000,000 rows, 1 rows/s, 277:46:39 left"));
        QCOMPARE(progressLine(5, -1, 1.0), QStringLiteral("5 rows, 5 rows/s"));
        QCOMPARE(progressLine(10, 10, 1.0), QStringLiteral("10 / 10 rows, 10 rows/s"));
    }

    // Runs last: it loads faces into this process for good.
    void shouldLoadOnlyTheFacesTheOutputUses()
    {
        QVERIFY2(!QFontDatabase::hasFamily(QStringLiteral("Liu Jian Mao Cao")), "the bundled faces are installed");
        QVERIFY(installFacesFor({sheetTile(1, QStringLiteral("王"))})); // the seal tile's face is a system font
        for (const char *family : {"Liu Jian Mao Cao", "Zhi Mang Xing", "Great Vibes", "Dancing Script"})
            QVERIFY2(!QFontDatabase::hasFamily(QString::fromLatin1(family)), family);
        QList<TileJob> sheet;
        for (int k = 1; k <= 6; ++k)
            sheet.append(sheetTile(k, QStringLiteral("王")));
        QVERIFY(installFacesFor(sheet));
        for (const char *family : {"Liu Jian Mao Cao", "Zhi Mang Xing", "Great Vibes", "Dancing Script"})
            QVERIFY2(QFontDatabase::hasFamily(QString::fromLatin1(family)), family);
        // The running hand's gaps are filled from Zhi Mang Xing and Ma Shan Zheng, so both come with it.
        QVERIFY(QFontDatabase::hasFamily(QStringLiteral("Ma Shan Zheng")));

        QVERIFY(drawnWithoutFallback(sheetTile(2, QStringLiteral("王羲之")), true, 1.0));
        QVERIFY(!drawnWithoutFallback(sheetTile(2, QStringLiteral("王龘")), true, 1.0)); // not in Liu Jian Mao Cao
        QVERIFY(drawnWithoutFallback(sheetTile(5, QStringLiteral("Wang")), true, 2.0));
        QVERIFY(!drawnWithoutFallback(sheetTile(5, QStringLiteral("王")), true, 2.0)); // Great Vibes has no hanzi

        resetToWindowFaces();
        QVERIFY(QFontDatabase::hasFamily(QStringLiteral("Ma Shan Zheng")));
    }
};

QTEST_MAIN(TestCliParts)
#include "tst_cli_parts.moc"
