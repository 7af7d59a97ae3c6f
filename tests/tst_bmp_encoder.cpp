#include "export/bmp_encoder.h"

#include <QTest>

namespace {

quint32 field(const QByteArray &bytes, int offset, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(offset + i));
    return value;
}

// Hex digits, spaces between pixels for reading.
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace

class TestBmpEncoder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldWriteEveryHeaderFieldOfTheSheet_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("size");
        QTest::addColumn<quint32>("value");
        QTest::newRow("signature BM") << 0 << 2 << quint32(0x4D42);
        QTest::newRow("file size") << 2 << 4 << quint32(324054);
        QTest::newRow("reserved 1") << 6 << 2 << quint32(0);
        QTest::newRow("reserved 2") << 8 << 2 << quint32(0);
        QTest::newRow("pixel offset") << 10 << 4 << quint32(54);
        QTest::newRow("info header size") << 14 << 4 << quint32(40);
        QTest::newRow("width") << 18 << 4 << quint32(360);
        QTest::newRow("height, positive: bottom-up") << 22 << 4 << quint32(300);
        QTest::newRow("planes") << 26 << 2 << quint32(1);
        QTest::newRow("bits per pixel") << 28 << 2 << quint32(24);
        QTest::newRow("compression none") << 30 << 4 << quint32(0);
        QTest::newRow("image size") << 34 << 4 << quint32(324000);
        QTest::newRow("horizontal resolution") << 38 << 4 << quint32(0);
        QTest::newRow("vertical resolution") << 42 << 4 << quint32(0);
        QTest::newRow("colours used") << 46 << 4 << quint32(0);
        QTest::newRow("important colours") << 50 << 4 << quint32(0);
    }
    void shouldWriteEveryHeaderFieldOfTheSheet()
    {
        QFETCH(int, offset);
        QFETCH(int, size);
        QFETCH(quint32, value);
        QImage sheet(360, 300, QImage::Format_RGB32);
        sheet.fill(Qt::black);
        const QByteArray bytes = encodeBmp24(sheet);
        QCOMPARE(bytes.size(), qsizetype(324054));
        QCOMPARE(field(bytes, offset, size), value);
    }

    void shouldLayRowsBottomUpInBlueGreenRedWithZeroPadding_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QByteArray>("pixels");
        QImage one(1, 1, QImage::Format_RGB32);
        one.setPixel(0, 0, qRgb(0x11, 0x22, 0x33));
        QTest::newRow("1 x 1: three bytes and one of padding") << one << hex("332211 00");
        QImage six(3, 2, QImage::Format_RGB32);
        six.setPixel(0, 0, qRgb(1, 2, 3));
        six.setPixel(1, 0, qRgb(4, 5, 6));
        six.setPixel(2, 0, qRgb(7, 8, 9));
        six.setPixel(0, 1, qRgb(10, 11, 12));
        six.setPixel(1, 1, qRgb(13, 14, 15));
        six.setPixel(2, 1, qRgb(16, 17, 18));
        QTest::newRow("3 x 2: bottom row first, rows of 12")
            << six << hex("0c0b0a 0f0e0d 121110 000000 030201 060504 090807 000000");
        QImage four(4, 1, QImage::Format_RGB32);
        for (int x = 0; x < 4; ++x)
            four.setPixel(x, 0, qRgb(x, 0x80, 0xFF));
        QTest::newRow("4 x 1: twelve bytes need no padding") << four << hex("ff8000 ff8001 ff8002 ff8003");
        QImage alpha(1, 1, QImage::Format_ARGB32);
        alpha.setPixel(0, 0, qRgba(0xAA, 0xBB, 0xCC, 0xFF));
        QTest::newRow("other formats are converted") << alpha << hex("ccbbaa 00");
    }
    void shouldLayRowsBottomUpInBlueGreenRedWithZeroPadding()
    {
        QFETCH(QImage, image);
        QFETCH(QByteArray, pixels);
        const QByteArray bytes = encodeBmp24(image);
        QCOMPARE(bytes.size(), 54 + pixels.size());
        QCOMPARE(bytes.mid(54), pixels);
        QCOMPARE(field(bytes, 2, 4), quint32(bytes.size()));
        QCOMPARE(field(bytes, 18, 4), quint32(image.width()));
        QCOMPARE(field(bytes, 22, 4), quint32(image.height()));
        QCOMPARE(field(bytes, 34, 4), quint32(pixels.size()));
    }

    void shouldGiveNothingForAnEmptyRaster()
    {
        QVERIFY(encodeBmp24(QImage()).isEmpty());
        QVERIFY(encodeBmp24(QImage(0, 5, QImage::Format_RGB32)).isEmpty());
    }

    void shouldPadRowsToFourBytes_data()
    {
        QTest::addColumn<qint64>("width");
        QTest::addColumn<qint64>("stride");
        QTest::newRow("1") << qint64(1) << qint64(4);
        QTest::newRow("2") << qint64(2) << qint64(8);
        QTest::newRow("3") << qint64(3) << qint64(12);
        QTest::newRow("4") << qint64(4) << qint64(12);
        QTest::newRow("5") << qint64(5) << qint64(16);
        QTest::newRow("360") << qint64(360) << qint64(1080);
        QTest::newRow("0 is no row") << qint64(0) << qint64(-1);
        QTest::newRow("beyond a signed 32-bit width") << (qint64(1) << 31) << qint64(-1);
    }
    void shouldPadRowsToFourBytes()
    {
        QFETCH(qint64, width);
        QFETCH(qint64, stride);
        QCOMPARE(bmpRowStride(width), stride);
    }
};

QTEST_MAIN(TestBmpEncoder)
#include "tst_bmp_encoder.moc"
