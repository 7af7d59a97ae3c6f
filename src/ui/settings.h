#pragma once

#include "export/export_options.h"

#include <QSettings>

#include <memory>

// The program's one settings file (in the user's configuration folder). Names typed into the window
// are never stored.
std::unique_ptr<QSettings> programSettings();

// The export choices as last confirmed; the defaults before the first export.
ExportOptions loadExportOptions(QSettings &settings);
void saveExportOptions(QSettings &settings, const ExportOptions &options);
// The folder of the last export, or empty.
QString lastExportFolder(QSettings &settings);
void setLastExportFolder(QSettings &settings, const QString &folder);

// A tile's own face (a family, and the font file it came from when the program keeps a copy) and its
// shrink-to-fit tick. An empty family is the tile's requested face.
struct RememberedTileFace
{
    QString family;
    QString file;
    bool shrinkToFit = false;
    friend bool operator==(const RememberedTileFace &, const RememberedTileFace &) = default;
};
RememberedTileFace loadTileFace(QSettings &settings, int tile);
void saveTileFace(QSettings &settings, int tile, const RememberedTileFace &face);
