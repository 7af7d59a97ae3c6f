#pragma once

#include "cli/cli_options.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Runs a batch: reads the rows, writes one file per row of the shard into the output folder on
// options.jobs threads, and reports. Returns the exit status: 0 when every row was written or
// skipped, 1 when a row or the input failed.
int runBatch(const CliOptions &options, const QStringList &faces);

// The files in `folder` that a killed write left behind, by the name they were to replace.
QHash<QString, QStringList> leftoverTemporaryFiles(const QString &folder);
