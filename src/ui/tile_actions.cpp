#include "ui/tile_actions.h"

#include "app/globals.h"
#include "export/image_export.h"
#include "export/sheet_export.h"
#include "ui/common_dlg.h"
#include "ui/export_dialog.h"
#include "ui/font_dialog.h"
#include "ui/preview.h"
#include "ui/settings.h"
#include "ui/tile_faces.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QList<TileJob> allTiles()
{
    QList<TileJob> jobs;
    for (qint32 k = 1; k <= TilePanels().count(); ++k)
        jobs.append(previewTileJob(k));
    return jobs;
}

QString filterFor(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Png: return QStringLiteral("PNG 图片 (*.png)");
    case ExportFormat::Svg: return QStringLiteral("SVG 矢量图 (*.svg)");
    case ExportFormat::Bmp: return QStringLiteral("位图文件 (*.bmp)");
    }
    return {};
}

void exportJobs(const QList<TileJob> &jobs, bool wholeSheet, const QString &baseName, QWidget *owner)
{
    const std::unique_ptr<QSettings> settings = programSettings();
    ExportRequest request{owner, jobs, lastPreviewInputs().inverted, wholeSheet, loadExportOptions(*settings)};
    if (!wholeSheet && request.initial.format == ExportFormat::Bmp)
        request.initial.format = ExportFormat::Png;
    const std::optional<ExportOptions> chosen = askExportChoices(request);
    if (!chosen)
        return;
    saveExportOptions(*settings, *chosen);

    SaveDialogRequest where;
    where.owner = owner;
    where.title = wholeSheet ? QStringLiteral("导出整张") : QStringLiteral("导出图片");
    where.nameFilters = {filterFor(chosen->format)};
    where.selectedNameFilter = where.nameFilters.constFirst();
    where.defaultSuffix = suffixOf(chosen->format);
    QString folder = lastExportFolder(*settings);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = CommonDlg::firstSaveFolder();
    where.initialPath = QDir(folder).filePath(baseName + QLatin1Char('.') + where.defaultSuffix);
    const std::optional<QString> path = CommonDlg::askSavePath(where);
    if (!path || path->isEmpty())
        return;
    setLastExportFolder(*settings, QFileInfo(*path).absolutePath());

    const QByteArray bytes = exportBytes(jobs, request.inverted, *chosen);
    const WriteOutcome outcome = WriteToFile(*path, bytes);
    if (!outcome.written)
        reportSaveFailure(*path, outcome.reason);
}

} // namespace

void copyTileImage(int tile)
{
    const std::unique_ptr<QSettings> settings = programSettings();
    const QImage image =
        exportImage({previewTileJob(tile)}, lastPreviewInputs().inverted, loadExportOptions(*settings));
    auto *data = new QMimeData;
    data->setData(QStringLiteral("image/png"), encodePng(image));
    data->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(data);
}

void exportTileImage(int tile, QWidget *owner)
{
    const TileJob job = previewTileJob(tile);
    exportJobs({job}, false, QStringLiteral("签名-%1-%2").arg(tile).arg(job.caption), owner);
}

void exportWholeSheet(QWidget *owner)
{
    exportJobs(allTiles(), true, QStringLiteral("签名"), owner);
}

void chooseTileFace(int tile, QWidget *owner)
{
    const TileJob job = previewTileJob(tile);
    const std::optional<FaceChoice> choice = askTileFace({owner, tile, job.name, job.face});
    if (!choice)
        return;
    if (choice->restoreDefault)
        restoreTileFace(tile);
    else
        setTileFace(tile, choice->family, choice->file);
    redrawTile(tile);
}

void setTileShrinking(int tile, bool on)
{
    setTileShrinksToFit(tile, on);
    redrawTile(tile);
}
