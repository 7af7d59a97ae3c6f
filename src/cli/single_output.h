#pragma once

#include "cli/cli_options.h"
#include "export/image_export.h"

#include <QByteArray>

// The bytes of one output (the sheet or a tile) for the command line's names and choices.
QByteArray singleOutputBytes(const CliOptions &options, const QStringList &faces);

// Writes one output to options.output (standard output for "-"); the exit status.
int runSingleOutput(const CliOptions &options, const QStringList &faces);
