#include "render/tile_renderer.h"
#include "tile_fixture.h"
#include "ui/control_registry.h"

#include <QFontInfo>
#include <QTextLayout>

#include <iconv.h>

namespace {

std::array<QImage, 6> g_atCreation;
bool g_windowHiddenAtCreation = false;

void renderAndKeepRasters()
{
    OnMainWindowCreated();
    for (int k = 1; k <= 6; ++k) {
        auto *panel = controlAs<DrawPanel>(TilePanels().item(k));
        g_atCreation[std::size_t(k - 1)] = panel->raster().copy();
        g_windowHiddenAtCreation = !panel->window()->isVisible();
    }
}

int countPixels(const QImage &image, QColor color, QRect area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == color ? 1 : 0;
    return count;
}

// Pixels that are not the background: glyphs, antialiased edges included.
int countInk(const QImage &image, QColor background, QRect area)
{
    return area.width() * area.height() - countPixels(image, background, area);
}

const QRect kWholeTile(0, 0, 180, 100);
const QRect kCaptionArea(5, 5, 40, 14);
const QRect kBelowCaption(0, 24, 180, 76);

// All 6,763 hanzi of GB2312: rows 0xB0-0xF7, cells 0xA1-0xFE, less the five empty cells of row 0xD7.
QString allGb2312Hanzi()
{
    QByteArray gb;
    for (int row = 0xB0; row <= 0xF7; ++row)
        for (int cell = 0xA1; cell <= 0xFE; ++cell)
            if (!(row == 0xD7 && cell >= 0xFA))
                gb.append(char(row)).append(char(cell));
    iconv_t cd = iconv_open("UTF-8", "GB2312");
    QByteArray utf8(gb.size() * 2, '\0');
    char *in = gb.data();
    char *out = utf8.data();
    std::size_t inLeft = std::size_t(gb.size());
    std::size_t outLeft = std::size_t(utf8.size());
    iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    utf8.truncate(utf8.size() - qsizetype(outLeft));
    return QString::fromUtf8(utf8);
}

// The characters of `text` that `font` (with its fallbacks) can only draw as the missing-glyph box.
QString charactersWithoutGlyph(const QFont &font, const QString &text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e9);
    layout.endLayout();
    int missing = 0;
    const QList<QGlyphRun> runs = layout.glyphRuns();
    for (const QGlyphRun &run : runs) {
        const QList<quint32> glyphs = run.glyphIndexes();
        for (quint32 glyph : glyphs)
            missing += glyph == 0 ? 1 : 0;
    }
    return missing == 0 ? QString() : QStringLiteral("%1 missing glyphs in %2").arg(missing).arg(font.family());
}

} // namespace

class TestTileRenderer : public QObject
{
    Q_OBJECT
    TileWindowFixture m_fixture;

private Q_SLOTS:
    void initTestCase() { QVERIFY(installTileFaces() >= 5); }
    void init()
    {
        m_fixture.open(&renderAndKeepRasters);
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture.window.get()));
    }
    void cleanup() { m_fixture.close(); }

    void shouldOpenWithAllSixTilesDrawnWhiteOnBlack()
    {
        QVERIFY(g_windowHiddenAtCreation);
        for (int k = 1; k <= 6; ++k) {
            const QImage &tile = g_atCreation[std::size_t(k - 1)];
            QCOMPARE(tile, m_fixture.raster(k));
            QVERIFY2(countPixels(tile, Qt::black, kWholeTile) > 180 * 100 / 2, qPrintable(QString::number(k)));
            QVERIFY(countInk(tile, Qt::black, kCaptionArea) > 5);
            QVERIFY(countInk(tile, Qt::black, kBelowCaption) > 50);
        }
    }

    void shouldSwitchEveryTileWithTheCheckBox()
    {
        m_fixture.inverted()->setChecked(false);
        m_fixture.clickPreview();
        for (int k = 1; k <= 6; ++k) {
            const QImage tile = m_fixture.raster(k);
            QVERIFY(countPixels(tile, Qt::white, kWholeTile) > 180 * 100 / 2);
            QVERIFY(countInk(tile, Qt::white, kCaptionArea) > 5);
            QVERIFY(countInk(tile, Qt::white, kBelowCaption) > 50);
        }
        m_fixture.inverted()->setChecked(true);
        m_fixture.clickPreview();
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(m_fixture.raster(k), g_atCreation[std::size_t(k - 1)]);
    }

    void shouldDrawIdenticalTilesWhenPressedTwice()
    {
        m_fixture.field(1)->setText(QStringLiteral("王羲之"));
        m_fixture.inverted()->setChecked(false);
        m_fixture.clickPreview();
        std::array<QImage, 6> first;
        for (int k = 1; k <= 6; ++k)
            first[std::size_t(k - 1)] = m_fixture.raster(k);
        m_fixture.clickPreview();
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(m_fixture.raster(k), first[std::size_t(k - 1)]);
    }

    void shouldLeaveOnlyTheCaptionWhenANameIsEmpty_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("firstTile");
        QTest::addColumn<int>("lastTile");
        QTest::newRow("empty Chinese name") << 1 << 1 << 4;
        QTest::newRow("empty English name") << 2 << 5 << 6;
    }
    void shouldLeaveOnlyTheCaptionWhenANameIsEmpty()
    {
        QFETCH(int, field);
        QFETCH(int, firstTile);
        QFETCH(int, lastTile);
        m_fixture.field(field)->clear();
        m_fixture.clickPreview();
        for (int k = 1; k <= 6; ++k) {
            const QImage tile = m_fixture.raster(k);
            const bool empty = k >= firstTile && k <= lastTile;
            QVERIFY(countInk(tile, Qt::black, kCaptionArea) > 5);
            QCOMPARE(countInk(tile, Qt::black, kBelowCaption) == 0, empty);
        }
    }

    void shouldKeepEachNameOnItsOwnTiles_data()
    {
        QTest::addColumn<int>("field");
        QTest::newRow("Chinese name changes") << 1;
        QTest::newRow("English name changes") << 2;
    }
    void shouldKeepEachNameOnItsOwnTiles()
    {
        QFETCH(int, field);
        m_fixture.field(field)->setText(QStringLiteral("李白 Li Bai"));
        m_fixture.clickPreview();
        for (int k = 1; k <= 6; ++k) {
            const bool ownTile = (field == 1) == (k <= 4);
            QCOMPARE(m_fixture.raster(k) == g_atCreation[std::size_t(k - 1)], !ownTile);
        }
    }

    // The whole tile is rebuilt on a free panel with the name at the truncated centre: any other
    // position, floor instead of truncation included, gives a different raster.
    void shouldCentreTheNameTruncatingTowardZero_data()
    {
        QTest::addColumn<int>("tile");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("wideAndOdd");
        QTest::newRow("default, tile 1, wider than the tile") << 1 << QStringLiteral("砚溪岚舍") << false;
        QTest::newRow("one character, tile 2") << 2 << QStringLiteral("王") << false;
        QTest::newRow("English, tile 5") << 5 << QStringLiteral("morilane") << false;
        QTest::newRow("English, tile 6") << 6 << QStringLiteral("Wang Xizhi") << false;
        // Wider than the tile by an odd number of pixels: x ends in .5 and moves toward zero.
        QTest::newRow("wide and odd, tile 1") << 1 << QStringLiteral("砚溪岚舍网g") << true;
        QTest::newRow("wide and odd, tile 3") << 3 << QStringLiteral("砚溪岚舍网abc") << true;
    }
    void shouldCentreTheNameTruncatingTowardZero()
    {
        QFETCH(int, tile);
        QFETCH(QString, name);
        QFETCH(bool, wideAndOdd);
        m_fixture.field(tile <= 4 ? 1 : 2)->setText(name);
        m_fixture.clickPreview();
        DrawPanel *panel = m_fixture.tile(tile);
        const int width = panel->TextWidth(name);
        const double x = (180.0 - width) / 2.0;
        const double y = (100.0 - panel->TextHeight(name)) / 2.0;
        DrawPanel rebuilt(QRect(0, 0, 180, 100), kBlack);
        rebuilt.setTextColor(kWhite);
        rebuilt.setFontFaceName(QStringLiteral("宋体"));
        rebuilt.setFontSize(9);
        rebuilt.WriteAt(5, 5, TileCaptions().item(tile));
        rebuilt.setFontFaceName(TileFonts().item(tile));
        rebuilt.setFontSize(tile <= 4 ? 36 : 28);
        rebuilt.WriteAt(int(RealToInteger(x)), int(RealToInteger(y)), name);
        QCOMPARE(m_fixture.raster(tile), rebuilt.raster());
        if (wideAndOdd) {
            QVERIFY2(width > 180 && (180 - width) % 2 != 0, qPrintable(QString::number(width)));
            QCOMPARE(RealToInteger(x), qint64(std::floor(x)) + 1);
        }
    }

    void shouldDrawSixDistinctFaces()
    {
        const QString same = QStringLiteral("永和 Yong");
        m_fixture.field(1)->setText(same);
        m_fixture.field(2)->setText(same);
        m_fixture.clickPreview();
        QStringList families;
        for (int k = 1; k <= 6; ++k)
            families.append(QFontInfo(m_fixture.tile(k)->drawingFont()).family());
        for (int a = 1; a <= 6; ++a) {
            for (int b = a + 1; b <= 6; ++b) {
                QVERIFY2(families[a - 1] != families[b - 1], qPrintable(families.join(QLatin1Char(','))));
                QVERIFY(m_fixture.raster(a).copy(kBelowCaption) != m_fixture.raster(b).copy(kBelowCaption));
            }
        }
    }

    void shouldNameTheFaceThatDrewEachTile()
    {
        for (int k = 1; k <= 6; ++k) {
            const QString requested = TileFonts().item(k);
            const QString drawn = QFontInfo(m_fixture.tile(k)->drawingFont()).family();
            const QString tip = m_fixture.tile(k)->toolTip();
            QCOMPARE(tip, drawn == requested ? requested : requested + QStringLiteral(" → ") + drawn);
        }
    }

    void shouldDrawEveryGb2312CharacterWithARealGlyph_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("all 6,763 hanzi") << allGb2312Hanzi();
        QTest::newRow("rare level-2 names") << QStringLiteral("亍丌兀丐廿卅丕亘丞鬲孬噩 鼷齄 彧 仝 亓 翀");
        QTest::newRow("Latin with accents") << QStringLiteral("Zoë Núñez Müller");
    }
    void shouldDrawEveryGb2312CharacterWithARealGlyph()
    {
        QFETCH(QString, text);
        if (text.size() > 1000)
            QCOMPARE(text.size(), 6763);
        for (int k = 1; k <= 6; ++k) {
            const QString missing = charactersWithoutGlyph(m_fixture.tile(k)->drawingFont(), text);
            QVERIFY2(missing.isEmpty(), qPrintable(missing));
        }
    }
};

QTEST_MAIN(TestTileRenderer)
#include "tst_tile_renderer.moc"
