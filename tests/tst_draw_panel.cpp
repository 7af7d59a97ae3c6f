#include "ui/draw_panel.h"
#include "render/gbk.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>

namespace {

bool isAll(const QImage &image, QColor color)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != color)
                return false;
    return true;
}

int columnInk(const QImage &image, int x, QColor background)
{
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        ink += image.pixelColor(x, y) != background ? 1 : 0;
    return ink;
}

double screenDpi()
{
    return QGuiApplication::primaryScreen()->logicalDotsPerInchY();
}

} // namespace

class TestDrawPanel : public QObject
{
    Q_OBJECT
    std::unique_ptr<QWidget> m_host;
    DrawPanel *m_panel = nullptr;

    // A tile with a word written on it: the picture the property writes must keep or discard.
    void drawSomething()
    {
        m_panel->setFontSize(28);
        m_panel->WriteAt(10, 20, QStringLiteral("签名 ink"));
        QVERIFY(!isAll(m_panel->raster(), Qt::white));
    }

private Q_SLOTS:
    void init()
    {
        m_host = std::make_unique<QWidget>();
        m_host->resize(400, 300);
        m_panel = new DrawPanel(QRect(8, 64, 180, 100), kWhite, m_host.get());
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    }
    void cleanup() { m_host.reset(); }

    void shouldStartAsAWhiteRasterOfItsOwnSize()
    {
        QCOMPARE(m_panel->Width(), 180);
        QCOMPARE(m_panel->Height(), 100);
        QCOMPARE(m_panel->raster().size(), QSize(180, 100));
        QVERIFY(isAll(m_panel->raster(), Qt::white));
        QVERIFY(!m_panel->hasStoredFont());
    }

    void shouldGiveAZeroSizedPanelAOnePixelRaster()
    {
        DrawPanel empty(QRect(0, 0, 0, 0), kBlack);
        QCOMPARE(empty.raster().size(), QSize(1, 1));
        QCOMPARE(empty.raster().pixelColor(0, 0), QColor(Qt::black));
    }

    void shouldKeepThePictureWhenTheSameBackColorIsWritten()
    {
        drawSomething();
        const QImage before = m_panel->raster().copy();
        m_panel->setBackColor(kWhite);
        QCOMPARE(m_panel->raster(), before);
    }

    void shouldDiscardThePictureForANewBackColor()
    {
        drawSomething();
        m_panel->setBackColor(0x00FF0000); // blue in 0x00BBGGRR
        QVERIFY(isAll(m_panel->raster(), QColor(0, 0, 255)));
        QCoreApplication::processEvents();
        QCOMPARE(m_panel->grab().toImage().convertToFormat(QImage::Format_RGB32), m_panel->raster());
    }

    void shouldResolveTheSpecialBackColorToTheButtonFace()
    {
        m_panel->setBackColor(kSpecialColor);
        QVERIFY(isAll(m_panel->raster(), m_panel->palette().color(QPalette::Button)));
    }

    void shouldKeepThePictureOnTextColorAndFontWrites_data()
    {
        QTest::addColumn<int>("member");
        for (int member = 0; member < 8; ++member)
            QTest::newRow(qPrintable(QStringLiteral("write %1").arg(member))) << member;
    }
    void shouldKeepThePictureOnTextColorAndFontWrites()
    {
        QFETCH(int, member);
        drawSomething();
        const QImage before = m_panel->raster().copy();
        switch (member) {
        case 0: m_panel->setTextColor(0x0000FF00); break;
        case 1: m_panel->setFontAngle(900); break;
        case 2: m_panel->setFontBold(true); break;
        case 3: m_panel->setFontItalic(true); break;
        case 4: m_panel->setFontStrikeOut(true); break;
        case 5: m_panel->setFontUnderline(true); break;
        case 6: m_panel->setFontSize(9); break;
        default: m_panel->setFontFaceName(QStringLiteral("Great Vibes")); break;
        }
        QCOMPARE(m_panel->raster(), before);
    }

    void shouldTurnPointsIntoEmPixels_data()
    {
        QTest::addColumn<qint64>("points");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("9 pt at 96") << qint64(9) << 96.0 << 12;
        QTest::newRow("28 pt at 96") << qint64(28) << 96.0 << 37;
        QTest::newRow("36 pt at 96") << qint64(36) << 96.0 << 48;
        QTest::newRow("half rounds up") << qint64(3) << 84.0 << 4;     // 3.5
        QTest::newRow("just under half") << qint64(10) << 100.0 << 14; // 13.89
        QTest::newRow("120 dpi") << qint64(9) << 120.0 << 15;
        QTest::newRow("zero") << qint64(0) << 96.0 << 0;
        QTest::newRow("negative counts as 0") << qint64(-12) << 96.0 << 0;
    }
    void shouldTurnPointsIntoEmPixels()
    {
        QFETCH(qint64, points);
        QFETCH(double, dpi);
        QFETCH(int, pixels);
        QCOMPARE(pointsToPixels(points, dpi), pixels);
    }

    void shouldStoreSizeAtTheScreensResolution()
    {
        m_panel->setFontSize(36);
        QCOMPARE(m_panel->Font().emPixels, pointsToPixels(36, screenDpi()));
        QCOMPARE(m_panel->drawingFont().pixelSize(), pointsToPixels(36, screenDpi()));
        m_panel->setFontSize(-4);
        QCOMPARE(m_panel->Font().emPixels, 0);
    }

    void shouldReplaceUnusableFaceNamesBySong_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        const QString song = QStringLiteral("宋体");
        QTest::newRow("empty") << QString() << song;
        QTest::newRow("15 hanzi, 30 bytes") << QString(15, QChar(0x5B8B)) << QString(15, QChar(0x5B8B));
        QTest::newRow("16 hanzi, 32 bytes") << QString(16, QChar(0x5B8B)) << song;
        QTest::newRow("15 hanzi and a letter, 31 bytes")
            << QString(15, QChar(0x5B8B)) + QLatin1Char('a') << QString(15, QChar(0x5B8B)) + QLatin1Char('a');
        QTest::newRow("31 letters") << QString(31, QLatin1Char('a')) << QString(31, QLatin1Char('a'));
        QTest::newRow("32 letters") << QString(32, QLatin1Char('a')) << song;
        QTest::newRow("a face as it is") << QStringLiteral("方正黄草简体") << QStringLiteral("方正黄草简体");
    }
    void shouldReplaceUnusableFaceNamesBySong()
    {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        m_panel->setFontFaceName(name);
        QCOMPARE(m_panel->Font().faceName, stored);
    }

    void shouldCountGbkBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::newRow("ascii") << QStringLiteral("morilane") << 8;
        QTest::newRow("hanzi") << QStringLiteral("砚溪岚舍") << 8;
        QTest::newRow("outside GBK counts as its replacement") << QStringLiteral("😀a") << 2;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << 1;
    }
    void shouldCountGbkBytes()
    {
        QFETCH(QString, text);
        QFETCH(int, bytes);
        QCOMPARE(gbkByteLength(text), qsizetype(bytes));
    }

    void shouldStartTheFirstFontWriteFromTheGuiFont()
    {
        m_panel->setFontBold(true);
        const FontRecord record = m_panel->Font();
        const QFont gui = QApplication::font();
        QVERIFY(record.bold);
        QCOMPARE(record.faceName, gui.family());
        QCOMPARE(record.italic, gui.italic());
        QCOMPARE(record.underline, gui.underline());
        QCOMPARE(record.strikeOut, gui.strikeOut());
        QCOMPARE(record.angle, 0);
        QCOMPARE(record.emPixels, recordOf(gui, screenDpi()).emPixels);
    }

    void shouldBringAnglesIntoOneTurn_data()
    {
        QTest::addColumn<qint64>("written");
        QTest::addColumn<int>("stored");
        QTest::newRow("-1") << qint64(-1) << 3599;
        QTest::newRow("3600") << qint64(3600) << 0;
        QTest::newRow("7201") << qint64(7201) << 1;
        QTest::newRow("-3600") << qint64(-3600) << 0;
    }
    void shouldBringAnglesIntoOneTurn()
    {
        QFETCH(qint64, written);
        QFETCH(int, stored);
        m_panel->setFontAngle(written);
        QCOMPARE(m_panel->Font().angle, stored);
    }

    void shouldMeasureAsThePlainSumOfAdvances()
    {
        m_panel->setFontFaceName(QStringLiteral("Dancing Script"));
        m_panel->setFontSize(28);
        const QFontMetrics metrics(m_panel->drawingFont());
        QCOMPARE(m_panel->TextWidth(QString()), 0);
        const QString name = QStringLiteral("AVAWay");
        int sum = 0;
        for (QChar c : name)
            sum += metrics.horizontalAdvance(c);
        QCOMPARE(m_panel->TextWidth(name), sum);
        QCOMPARE(m_panel->TextHeight(name), metrics.ascent() + metrics.descent());
    }

    // Right-to-left names are laid out whole: in visual order, letters joined, measured as drawn.
    void shouldLayOutRightToLeftTextWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("Hebrew") << QStringLiteral("שלום");
        QTest::newRow("Arabic") << QStringLiteral("مرحبا");
        QTest::newRow("mixed with Latin") << QStringLiteral("Zoe שלום");
    }
    void shouldLayOutRightToLeftTextWhole()
    {
        QFETCH(QString, text);
        m_panel->setFontSize(28);
        const QFont font = m_panel->drawingFont();
        QCOMPARE(m_panel->TextWidth(text), QFontMetrics(font).horizontalAdvance(text));
        m_panel->WriteAt(10, 20, text);
        QImage expected(180, 100, QImage::Format_RGB32);
        expected.fill(Qt::white);
        QPainter painter(&expected);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(10, 20 + QFontMetrics(font).ascent()), text);
        painter.end();
        QCOMPARE(m_panel->raster(), expected);
        // Drawn letter by letter in typed order, the same text looks different.
        QImage byLetter(180, 100, QImage::Format_RGB32);
        byLetter.fill(Qt::white);
        painter.begin(&byLetter);
        painter.setFont(font);
        painter.setPen(Qt::black);
        qreal x = 10;
        for (QChar c : text) {
            painter.drawText(QPointF(x, 20 + QFontMetrics(font).ascent()), QString(c));
            x += QFontMetrics(font).horizontalAdvance(c);
        }
        painter.end();
        QVERIFY(byLetter != expected);
    }

    void shouldWriteTheCellsTopLeftAtThePoint()
    {
        m_panel->setFontSize(28);
        m_panel->setTextBackColor(0x000000FF); // an opaque red cell shows where the cell lies
        const QString text = QStringLiteral("ab");
        m_panel->WriteAt(20, 30, text);
        const QImage &raster = m_panel->raster();
        const QColor red(255, 0, 0);
        const int right = 20 + m_panel->TextWidth(text) - 1;
        const int bottom = 30 + m_panel->TextHeight(text) - 1;
        QCOMPARE(raster.pixelColor(20, 30), red);
        QCOMPARE(raster.pixelColor(right, bottom), red);
        QCOMPARE(raster.pixelColor(19, 30), QColor(Qt::white));
        QCOMPARE(raster.pixelColor(20, 29), QColor(Qt::white));
        QCOMPARE(raster.pixelColor(right + 1, bottom), QColor(Qt::white));
        QCOMPARE(raster.pixelColor(right, bottom + 1), QColor(Qt::white));
    }

    void shouldClipTextWiderThanThePanelAtBothEdges()
    {
        m_panel->setTextColor(kBlack);
        m_panel->setFontSize(36);
        const QString wide = QStringLiteral("WWWWWWWWWW");
        QVERIFY(m_panel->TextWidth(wide) > 200);
        m_panel->WriteAt(-10, 20, wide);
        QVERIFY(columnInk(m_panel->raster(), 0, Qt::white) > 0);
        QVERIFY(columnInk(m_panel->raster(), 179, Qt::white) > 0);
    }

    void shouldDrawNothingForAnEmptyText()
    {
        m_panel->WriteAt(5, 5, QString());
        QVERIFY(isAll(m_panel->raster(), Qt::white));
    }

    void shouldShowExactlyTheRasterOnScreen()
    {
        drawSomething();
        QCoreApplication::processEvents();
        QCOMPARE(m_panel->grab().toImage().convertToFormat(QImage::Format_RGB32), m_panel->raster());
    }

    void shouldKeepTheTopLeftWhenResizedEvenWhileHidden()
    {
        DrawPanel sheet(QRect(488, 16, 56, 32), kBlack, m_host.get());
        sheet.hide();
        sheet.setTextBackColor(0x0000FF00);
        sheet.WriteAt(0, 0, QStringLiteral("x"));
        const QColor corner = sheet.raster().pixelColor(0, 0);
        sheet.Move(360, 300);
        QCOMPARE(sheet.raster().size(), QSize(360, 300));
        QCOMPARE(sheet.raster().pixelColor(0, 0), corner);
        QCOMPARE(sheet.raster().pixelColor(359, 299), QColor(Qt::black));
        QCOMPARE(sheet.raster().pixelColor(56, 0), QColor(Qt::black));
        sheet.Move(10, 0);
        QCOMPARE(sheet.raster().size(), QSize(10, 1));
    }

    void shouldCopyPixelForPixelAndDropWhatFallsOutside()
    {
        DrawPanel target(QRect(0, 0, 200, 150), kBlack, m_host.get());
        drawSomething();
        m_panel->Copy(target, 50, 80);
        const QImage &copied = target.raster();
        QCOMPARE(copied.copy(50, 80, 150, 70), m_panel->raster().copy(0, 0, 150, 70));
        QCOMPARE(copied.pixelColor(49, 80), QColor(Qt::black));
        QCOMPARE(copied.pixelColor(50, 79), QColor(Qt::black));
    }
};

QTEST_MAIN(TestDrawPanel)
#include "tst_draw_panel.moc"
