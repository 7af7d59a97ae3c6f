#include "ui/preview.h"
#include "tile_fixture.h"

// One warm preview of all six tiles with the default names, as a click on 预览 runs it.
class BenchRenderPreview : public QObject
{
    Q_OBJECT
    TileWindowFixture m_fixture;

private Q_SLOTS:
    void initTestCase()
    {
        installTileFaces();
        m_fixture.open();
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture.window.get()));
        RenderPreview(); // warm: faces loaded, glyphs cached
    }
    void cleanupTestCase() { m_fixture.close(); }

    void renderPreview()
    {
        QBENCHMARK
        {
            RenderPreview();
        }
    }
};

QTEST_MAIN(BenchRenderPreview)
#include "bench_render_preview.moc"
