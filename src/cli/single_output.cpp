#include "cli/single_output.h"

#include "cli/cli_faces.h"
#include "export/sheet_export.h"
#include "pinyin/pinyin.h"

#include <algorithm>
#include <cstdio>

namespace {

bool writeToStandardOutput(const QByteArray &bytes)
{
    const std::size_t size = std::size_t(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stdout) == size && std::fflush(stdout) == 0;
}

bool drawnWithoutFallback(const QList<TileJob> &jobs, const ExportOptions &options)
{
    return std::all_of(jobs.begin(), jobs.end(), [&options](TileJob job) {
        job.withCaption = job.withCaption && options.withCaption;
        return drawnWithoutFallback(job, true, options.scale);
    });
}

} // namespace

QByteArray singleOutputBytes(const CliOptions &options, const QStringList &faces)
{
    const QString english =
        options.englishAuto ? proposeRomanisedName(options.chinese, NameOrder::SurnameFirst) : options.english;
    const QList<TileJob> jobs = outputJobs(faces, options.tile, options.chinese, english);
    // Only the faces drawn in are loaded. Where a character falls back to another font, which one
    // depends on every font loaded, so then they are loaded as the window loads them.
    if (installFacesFor(jobs) && !drawnWithoutFallback(jobs, options.exportOptions))
        resetToWindowFaces();
    return exportBytes(jobs, options.inverted, options.exportOptions);
}

int runSingleOutput(const CliOptions &options, const QStringList &faces)
{
    const QByteArray bytes = singleOutputBytes(options, faces);
    if (bytes.isEmpty()) {
        std::fprintf(stderr, "signature-designer: the picture could not be encoded\n");
        return 1;
    }
    if (options.output == QLatin1String("-")) {
        if (writeToStandardOutput(bytes))
            return 0;
        std::fprintf(stderr, "signature-designer: cannot write to standard output\n");
        return 1;
    }
    const WriteOutcome outcome = WriteToFile(options.output, bytes);
    if (outcome.written)
        return 0;
    std::fprintf(stderr, "signature-designer: cannot write %s: %s\n", qPrintable(options.output),
                 qPrintable(outcome.reason));
    return 1;
}
