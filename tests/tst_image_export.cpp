#include "export/image_export.h"
#include "export/svg_export.h"
#include "export_fixture.h"
#include "tile_fixture.h"

#include "ui/common_dlg.h"

#include <QBuffer>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>

namespace {

// Intersection over union of the pixels whose alpha reaches `threshold`.
double inkOverlap(const QImage &a, const QImage &b, int threshold)
{
    int both = 0, either = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool inA = qAlpha(a.pixel(x, y)) >= threshold;
            const bool inB = qAlpha(b.pixel(x, y)) >= threshold;
            both += inA && inB ? 1 : 0;
            either += inA || inB ? 1 : 0;
        }
    return either == 0 ? 1.0 : double(both) / either;
}

QImage renderSvg(const QByteArray &svg, QSize size)
{
    QSvgRenderer renderer(svg);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

} // namespace

class TestImageExport : public QObject
{
    Q_OBJECT

    TileWindowFixture m_fixture;

    void preview(bool inverted, const QString &chinese = QStringLiteral("王羲之"),
                 const QString &english = QStringLiteral("Wang Xizhi"))
    {
        m_fixture.field(1)->setText(chinese);
        m_fixture.field(2)->setText(english);
        m_fixture.inverted()->setChecked(inverted);
        m_fixture.clickPreview();
    }

private Q_SLOTS:
    void initTestCase() { installTileFaces(); }
    void init() { m_fixture.open(); }
    void cleanup() { m_fixture.close(); }

    void shouldExportEachTileAtScaleOneExactlyAsTheTileShowsIt_data()
    {
        QTest::addColumn<bool>("inverted");
        QTest::newRow("white on black") << true;
        QTest::newRow("black on white") << false;
    }
    void shouldExportEachTileAtScaleOneExactlyAsTheTileShowsIt()
    {
        QFETCH(bool, inverted);
        preview(inverted);
        m_fixture.field(1)->setText(QStringLiteral("typed after the preview"));
        for (int k = 1; k <= 6; ++k) {
            const QImage exported = exportImage({previewTileJob(k)}, inverted, asPreview(ExportFormat::Png, 1));
            QCOMPARE(exported.convertToFormat(QImage::Format_RGB32), m_fixture.raster(k));
            // The PNG's bytes decode to the same picture.
            const QImage decoded =
                QImage::fromData(exportBytes({previewTileJob(k)}, inverted, asPreview(ExportFormat::Png, 1)));
            QCOMPARE(decoded.convertToFormat(QImage::Format_RGB32), m_fixture.raster(k));
        }
    }

    void shouldExportTheSheetBitmapAtScaleOneAsTheSaveWritesIt_data()
    {
        shouldExportEachTileAtScaleOneExactlyAsTheTileShowsIt_data();
    }
    void shouldExportTheSheetBitmapAtScaleOneAsTheSaveWritesIt()
    {
        QFETCH(bool, inverted);
        preview(inverted);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("sheet.bmp"));
        CommonDlg::setPrompt([&path](const SaveDialogRequest &) { return std::optional<QString>(path); });
        m_fixture.clickSave();
        CommonDlg::setPrompt({});
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray written = saved.readAll();
        QCOMPARE(written.size(), qsizetype(324054));
        QCOMPARE(exportBytes(lastPreviewJobs(), inverted, asPreview(ExportFormat::Bmp, 1)), written);
    }

    void shouldScaleTheInkByTheFactor_data()
    {
        QTest::addColumn<int>("tile");
        for (int k = 1; k <= 6; ++k)
            QTest::addRow("tile %d", k) << k;
    }
    void shouldScaleTheInkByTheFactor()
    {
        QFETCH(int, tile);
        preview(true);
        // The name only: the 9-point caption is hinted to whole pixels at 12 px and sits 1.4 px higher
        // at x1 than its outline would put it, which x4 multiplies past any fixed tolerance.
        ExportOptions one1 = blackOnTransparent(1), four4 = blackOnTransparent(4);
        one1.withCaption = four4.withCaption = false;
        const QRect one = alphaBounds(exportImage({previewTileJob(tile)}, true, one1));
        const QImage four = exportImage({previewTileJob(tile)}, true, four4);
        QCOMPARE(four.size(), QSize(720, 400));
        const QRect big = alphaBounds(four);
        QVERIFY(!one.isNull());
        QVERIFY2(std::abs(big.left() - 4 * one.left()) <= 4,
                 qPrintable(QStringLiteral("left %1 vs %2").arg(big.left()).arg(one.left())));
        QVERIFY2(std::abs(big.top() - 4 * one.top()) <= 4,
                 qPrintable(QStringLiteral("top %1 vs %2").arg(big.top()).arg(one.top())));
        QVERIFY2(std::abs((big.right() + 1) - 4 * (one.right() + 1)) <= 4,
                 qPrintable(QStringLiteral("right %1 vs %2").arg(big.right()).arg(one.right())));
        QVERIFY2(std::abs((big.bottom() + 1) - 4 * (one.bottom() + 1)) <= 4,
                 qPrintable(QStringLiteral("bottom %1 vs %2").arg(big.bottom()).arg(one.bottom())));
    }

    void shouldWriteATransparentPngWithAlphaAndItsResolution()
    {
        preview(true);
        ExportOptions options = blackOnTransparent(2);
        options.ink = kBlueInk;
        const QByteArray png = exportBytes({previewTileJob(2)}, true, options);
        const QImage decoded = QImage::fromData(png, "PNG");
        QCOMPARE(decoded.size(), QSize(360, 200));
        QVERIFY(decoded.hasAlphaChannel());
        QCOMPARE(decoded.dotsPerMeterX(), 7559);
        QCOMPARE(decoded.dotsPerMeterY(), 7559);
        int darkest = 0;
        for (int y = 0; y < decoded.height(); ++y)
            for (int x = 0; x < decoded.width(); ++x) {
                const QRgb pixel = decoded.pixel(x, y);
                darkest = std::max(darkest, qAlpha(pixel));
                if (qAlpha(pixel) > 0)
                    QCOMPARE(QColor(pixel).rgb() & 0xFFFFFF, kBlueInk.rgb() & 0xFFFFFF);
            }
        QCOMPARE(darkest, 255);
        QCOMPARE(qAlpha(decoded.pixel(0, 199)), 0);
        QCOMPARE(qAlpha(decoded.pixel(359, 0)), 0);

        // An outside reader agrees on the alpha range and the resolution.
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("tile.png")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(png);
        file.close();
        QProcess identify;
        identify.start(QStringLiteral("identify"),
                       {QStringLiteral("-format"), QStringLiteral("%w %h %[fx:minima.a] %[fx:maxima.a] %x %y %U"),
                        file.fileName()});
        QVERIFY(identify.waitForFinished(30000));
        const QStringList seen =
            QString::fromUtf8(identify.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
        QCOMPARE(seen.size(), 7);
        QCOMPARE(seen.mid(0, 4),
                 (QStringList{QStringLiteral("360"), QStringLiteral("200"), QStringLiteral("0"), QStringLiteral("1")}));
        QCOMPARE(seen[6], QStringLiteral("PixelsPerCentimeter"));
        QVERIFY2(std::abs(seen[4].toDouble() - 75.59) < 0.01 && std::abs(seen[5].toDouble() - 75.59) < 0.01,
                 qPrintable(seen.join(QLatin1Char(' ')))); // 192 dpi
    }

    void shouldExportSvgOutlinesLyingOnTheRasterInk_data() { shouldScaleTheInkByTheFactor_data(); }
    void shouldExportSvgOutlinesLyingOnTheRasterInk()
    {
        QFETCH(int, tile);
        preview(true);
        const TileJob job = previewTileJob(tile);
        ExportOptions options = blackOnTransparent(1);
        options.format = ExportFormat::Svg;
        const QByteArray svg = exportBytes({job}, true, options);
        QVERIFY(!svg.contains("<text"));
        QVERIFY(!svg.contains("font"));
        QVERIFY(!svg.contains(job.face.toUtf8()));
        QVERIFY(svg.contains("width=\"47.63mm\" height=\"26.46mm\" viewBox=\"0 0 180 100\""));
        // At x1 the raster's glyphs are hinted to the pixel grid while the outlines are the design's:
        // thin stems move by up to half a pixel, so there every pixel with any ink is compared.
        const double atOne = inkOverlap(renderSvg(svg, QSize(180, 100)), exportImage({job}, true, options), 1);
        QVERIFY2(atOne >= 0.8, qPrintable(QString::number(atOne)));
        // At x4 hinting no longer matters: the half-covered pixels agree.
        options.scale = 4;
        const double atFour = inkOverlap(renderSvg(exportBytes({job}, true, options), QSize(720, 400)),
                                         exportImage({job}, true, options), 128);
        QVERIFY2(atFour >= 0.95, qPrintable(QString::number(atFour)));
    }

    void shouldTrimToTheInkWithAMargin_data()
    {
        QTest::addColumn<int>("tile");
        QTest::addColumn<bool>("withCaption");
        QTest::newRow("Chinese, no caption") << 3 << false;
        QTest::newRow("English, no caption") << 5 << false;
        QTest::newRow("Chinese with caption") << 1 << true;
    }
    void shouldTrimToTheInkWithAMargin()
    {
        QFETCH(int, tile);
        QFETCH(bool, withCaption);
        preview(false);
        ExportOptions options = blackOnTransparent(4);
        options.withCaption = withCaption;
        const QRect ink = alphaBounds(exportImage({previewTileJob(tile)}, false, options));
        options.trim = true;
        const QImage trimmed = exportImage({previewTileJob(tile)}, false, options);
        const int margin = 16; // 4 % of 400
        QCOMPARE(trimmed.size(), ink.size() + QSize(2 * margin, 2 * margin));
        QCOMPARE(alphaBounds(trimmed), QRect(QPoint(margin, margin), ink.size()));
        // The vector file keeps to the same box.
        options.format = ExportFormat::Svg;
        const QByteArray svg = exportBytes({previewTileJob(tile)}, false, options);
        const QByteArray box = QByteArray::number(ink.left() - margin) + ' ' + QByteArray::number(ink.top() - margin) +
                               ' ' + QByteArray::number(trimmed.width()) + ' ' + QByteArray::number(trimmed.height());
        QVERIFY2(svg.contains(QByteArray("viewBox=\"" + box + '"')), svg.left(300).constData());
    }

    void shouldEncodePngsThatDecodeToTheSamePixels_data()
    {
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QSize>("size");
        QTest::newRow("RGB 1x1") << QImage::Format_RGB32 << QSize(1, 1);
        QTest::newRow("RGB 3x2") << QImage::Format_RGB32 << QSize(3, 2);
        QTest::newRow("RGBA 5x7") << QImage::Format_ARGB32 << QSize(5, 7);
        QTest::newRow("RGBA 300x41") << QImage::Format_ARGB32 << QSize(300, 41);
        QTest::newRow("palette with alpha 9x4") << QImage::Format_Indexed8 << QSize(9, 4);
    }
    void shouldEncodePngsThatDecodeToTheSamePixels()
    {
        QFETCH(QImage::Format, format);
        QFETCH(QSize, size);
        QImage image(size, format);
        if (format == QImage::Format_Indexed8) {
            QList<QRgb> shades;
            for (int i = 0; i < 256; ++i)
                shades.append(qRgba(0x1F, 0x3A, 0x93, i));
            image.setColorTable(shades);
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    image.setPixel(x, y, uint((x * 29 + y * 7) & 0xFF));
        }
        for (int y = 0; y < size.height() && format != QImage::Format_Indexed8; ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y,
                               qRgba((x * 37) & 0xFF, (y * 91) & 0xFF, (x * y) & 0xFF,
                                     format == QImage::Format_ARGB32 ? (x + y * 13) & 0xFF : 0xFF));
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(7559);
        const QByteArray png = encodePng(image);
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        const QImage decoded = QImage::fromData(png, "PNG");
        QCOMPARE(decoded.hasAlphaChannel(), format != QImage::Format_RGB32);
        QCOMPARE(decoded.convertToFormat(QImage::Format_ARGB32), image.convertToFormat(QImage::Format_ARGB32));
        QCOMPARE(decoded.dotsPerMeterX(), 3780);
        QCOMPARE(decoded.dotsPerMeterY(), 7559);
        QVERIFY(encodePng(QImage()).isEmpty());
    }

    void shouldKeepTheWholeTileWhenThereIsNoInkToTrim()
    {
        preview(true, QString(), QString());
        ExportOptions options = blackOnTransparent(1);
        options.trim = true;
        options.withCaption = false;
        const QImage image = exportImage({previewTileJob(1)}, true, options);
        QCOMPARE(image.size(), QSize(180, 100));
        QVERIFY(alphaBounds(image).isNull());
    }
};

QTEST_MAIN(TestImageExport)
#include "tst_image_export.moc"
