#include "ui/preview.h"

#include "app/globals.h"
#include "ui/control_registry.h"
#include "ui/draw_panel.h"
#include "ui/main_window.h"
#include "ui/tile_faces.h"

namespace {

PreviewInputs &inputs()
{
    static PreviewInputs last;
    return last;
}

// On a dense screen the tile also gets a picture drawn at the screen's pixel ratio, so that its edges
// are as sharp as the controls'. The raster that is saved and copied stays the one at ratio 1.
void showSharperTile(DrawPanel &panel, const TileJob &job, bool inverted)
{
    const double ratio = panel.devicePixelRatioF();
    if (ratio <= 1.0)
        return;
    QImage sharper = renderTileRaster(job, inverted, ratio, panel.dpi());
    sharper.setDevicePixelRatio(ratio);
    panel.showSharper(std::move(sharper));
}

// The tile as the job says, its tooltip naming the face that drew it.
void drawTile(DrawPanel &panel, const TileJob &job, bool inverted)
{
    RenderTile(panel.surface(), job, inverted);
    panel.setToolTip(faceDescription(job.face, panel.drawingFont()));
    showSharperTile(panel, job, inverted);
}

TileJob jobOfTile(int k, const QString &chinese, const QString &english)
{
    TileJob job = tileJob(k, TileCaptions().item(k), TileFonts().item(k), chinese, english);
    job.shrinkToFit = tileShrinksToFit(k);
    return job;
}

} // namespace

const PreviewInputs &lastPreviewInputs()
{
    return inputs();
}

TileJob previewTileJob(int k)
{
    const PreviewInputs &last = inputs();
    return jobOfTile(k, last.chinese, last.english);
}

void redrawTile(int k)
{
    if (auto *panel = controlAs<DrawPanel>(TilePanels().item(k)))
        drawTile(*panel, previewTileJob(k), inputs().inverted);
}

void RenderPreview()
{
    const QString chinese = fieldText(mainWindowControl(u"编辑框1"));
    const ControlRef englishField = mainWindowControl(u"编辑框2");
    const ControlRef inverted = mainWindowControl(u"选择框1");
    QString english;
    const qint32 count = TilePanels().count();
    for (qint32 k = 1; k <= count; ++k) {
        auto *panel = controlAs<DrawPanel>(TilePanels().item(k));
        if (panel == nullptr)
            continue; // the window is gone
        const bool white = isTicked(inverted);
        if (k > 4)
            english = fieldText(englishField); // read from the fifth tile on, as it is then
        drawTile(*panel, jobOfTile(k, chinese, english), white);
    }
    inputs() = {chinese, english, isTicked(inverted)};
}
