// One tile exported at x8 as PNG and as SVG, in memory and written to a temporary folder (the write
// is flushed to the disk before it replaces anything, so the disk shows in that figure), and the warm
// preview, measured in interleaved rounds so that a noisy neighbour slows all alike. Prints median,
// min and max.
#include "export/image_export.h"
#include "export/sheet_export.h"
#include "tile_fixture.h"
#include "ui/preview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Figure
{
    const char *name;
    std::function<void()> run;
    std::vector<double> ms;
};

void report(Figure &figure)
{
    std::sort(figure.ms.begin(), figure.ms.end());
    std::printf("%-34s median %8.3f ms   min %8.3f   max %8.3f   (%zu rounds)\n", figure.name,
                figure.ms[figure.ms.size() / 2], figure.ms.front(), figure.ms.back(), figure.ms.size());
}

void writeOrDie(const QString &path, const QByteArray &bytes)
{
    if (bytes.isEmpty() || !WriteToFile(path, bytes).written)
        qFatal("export to %s failed", qPrintable(path));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    installTileFaces();
    TileWindowFixture fixture;
    fixture.open();
    QTemporaryDir folder;
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 31;
    ExportOptions png;
    png.scale = 8;
    ExportOptions svg = png;
    svg.format = ExportFormat::Svg;
    std::vector<Figure> figures = {
        {"preview, six tiles", [] { RenderPreview(); }, {}},
        {"tile 2 at x8 as PNG bytes", [&] { exportBytes({previewTileJob(2)}, true, png); }, {}},
        {"tile 2 at x8 as SVG bytes", [&] { exportBytes({previewTileJob(2)}, true, svg); }, {}},
        {"tile 2 at x8 as PNG, written",
         [&] { writeOrDie(folder.filePath(QStringLiteral("t.png")), exportBytes({previewTileJob(2)}, true, png)); },
         {}},
        {"tile 2 at x8 as SVG, written",
         [&] { writeOrDie(folder.filePath(QStringLiteral("t.svg")), exportBytes({previewTileJob(2)}, true, svg)); },
         {}},
    };
    for (Figure &figure : figures)
        figure.run(); // warm: faces loaded, glyphs cached
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < figures.size(); ++i) {
            Figure &figure = figures[(i + std::size_t(round)) % figures.size()];
            QElapsedTimer timer;
            timer.start();
            figure.run();
            figure.ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    for (Figure &figure : figures)
        report(figure);
    fixture.close();
    return 0;
}
