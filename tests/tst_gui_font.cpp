#include "app/program_main.h"
#include "render/tile_renderer.h"

#include <QApplication>
#include <QFontInfo>
#include <QTest>
#include <QTextLayout>

namespace {

// The families the glyphs of `text` are drawn from in `font`, fallbacks included, in order of use.
QStringList familiesDrawing(const QString &text, const QFont &font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine().setLineWidth(1e9);
    layout.endLayout();
    QStringList families;
    const QList<QGlyphRun> runs = layout.glyphRuns();
    for (const QGlyphRun &run : runs) {
        const QString family = run.rawFont().familyName();
        if (!families.contains(family))
            families.append(family);
    }
    return families;
}

} // namespace

class TestGuiFont : public QObject
{
    Q_OBJECT
    QFont m_desktopFont;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(installTileFaces() >= 5);
        m_desktopFont = QApplication::font();
        useCaptionFaceForChinese();
    }

    // One CJK face serves the captions and the controls, so no second one is loaded at start.
    void shouldDrawTheControlsChineseInTheCaptionFace()
    {
        const QString captionFace = QFontInfo(QFont(QStringLiteral("宋体"))).family();
        QVERIFY2(captionFace != QFontInfo(m_desktopFont).family(), "the test needs a CJK caption face");
        QCOMPARE(familiesDrawing(QStringLiteral("中文姓名：反色预览"), QApplication::font()), QStringList{captionFace});
    }

    void shouldKeepTheDesktopFaceForLatinText()
    {
        QCOMPARE(familiesDrawing(QStringLiteral("morilane"), QApplication::font()),
                 QStringList{QFontInfo(m_desktopFont).family()});
        QCOMPARE(QApplication::font().pointSizeF(), m_desktopFont.pointSizeF());
    }
};

QTEST_MAIN(TestGuiFont)
#include "tst_gui_font.moc"
