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
