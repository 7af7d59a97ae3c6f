#include "cli/single_output.h"

#include "cli/cli_faces.h"
#include "export/sheet_export.h"
#include "pinyin/pinyin.h"

#include <QThread>

#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QList<TileRasterRequest> withoutRepeats(const QList<TileRasterRequest> &requests)
{
    QList<TileRasterRequest> unique;
    for (const TileRasterRequest &request : requests) {
        const auto same = [&](const TileRasterRequest &seen) {
            return seen.job == request.job && seen.inverted == request.inverted;
        };
        if (std::none_of(unique.begin(), unique.end(), same))
            unique.append(request);
    }
    return unique;
}

bool writeToStandardOutput(const QByteArray &bytes)
{
    const std::size_t size = std::size_t(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stdout) == size && std::fflush(stdout) == 0;
}

} // namespace

TilesDrawnAhead::TilesDrawnAhead(const QList<TileRasterRequest> &requests, double scale, int threads)
    : m_requests(withoutRepeats(requests))
    , m_rasters(m_requests.size())
    , m_scale(scale)
{
    // Each thread opens its own fonts (the font cache is per thread), so threads share the tiles out
    // one at a time: the first tile, which also opens the captions' face, costs the most.
    std::atomic<qsizetype> next = 0;
    std::atomic<bool> covered = true;
    const auto drawSome = [&] {
        for (qsizetype i = next++; i < m_requests.size(); i = next++) {
            const TileRasterRequest &request = m_requests[i];
            if (!drawnWithoutFallback(request.job, request.inverted, scale))
                covered = false; // drawn later, with the window's fonts
            else
                m_rasters[i] = renderTileRaster(request.job, request.inverted, scale);
        }
    };
    std::vector<std::unique_ptr<QThread>> helpers;
    for (int t = 1; t < std::min<qsizetype>(threads, m_requests.size()); ++t) {
        helpers.emplace_back(QThread::create(drawSome));
        helpers.back()->start();
    }
    drawSome();
    for (const auto &helper : helpers)
        helper->wait();
    m_covered = covered;
}

TileRasterSource TilesDrawnAhead::source() const
{
    return [this](const TileJob &job, bool inverted, double scale) {
        for (qsizetype i = 0; i < m_requests.size(); ++i) {
            if (m_requests[i].job == job && m_requests[i].inverted == inverted && scale == m_scale &&
                !m_rasters[i].isNull())
                return m_rasters[i];
        }
        return renderTileRaster(job, inverted, scale);
    };
}

QByteArray singleOutputBytes(const CliOptions &options, const QStringList &faces)
{
    const QString english =
        options.englishAuto ? proposeRomanisedName(options.chinese, NameOrder::SurnameFirst) : options.english;
    const QList<TileJob> jobs = outputJobs(faces, options.tile, options.chinese, english);
    const ExportOptions &exportOptions = options.exportOptions;
    if (!installFacesFor(jobs))
        return exportBytes(jobs, options.inverted, exportOptions);
    if (exportOptions.format == ExportFormat::Svg) {
        const auto covered = [&](const TileJob &job) { return drawnWithoutFallback(job, true, 1.0); };
        if (!std::all_of(jobs.begin(), jobs.end(), covered))
            resetToWindowFaces();
        return exportBytes(jobs, options.inverted, exportOptions);
    }
    const TilesDrawnAhead drawn(tileRastersFor(jobs, options.inverted, exportOptions), exportOptions.scale,
                                options.jobs);
    if (drawn.covered())
        return exportBytes(jobs, options.inverted, exportOptions, drawn.source());
    resetToWindowFaces();
    return exportBytes(jobs, options.inverted, exportOptions);
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
