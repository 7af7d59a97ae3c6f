#include "cli/batch_run.h"

#include "cli/batch_report.h"
#include "cli/batch_rows.h"
#include "cli/cli_faces.h"
#include "export/image_export.h"
#include "export/sheet_export.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <thread>
#include <unistd.h>

namespace {

struct BatchTask
{
    qint64 line = 0;
    QList<TileJob> jobs;
    ExportFormat format = ExportFormat::Bmp;
    QString path;
};

// Rows waiting for a drawing thread. Bounded, so that memory does not grow with the list.
class TaskQueue
{
public:
    explicit TaskQueue(std::size_t capacity)
        : m_capacity(capacity)
    {}
    void push(BatchTask task)
    {
        std::unique_lock lock(m_mutex);
        m_notFull.wait(lock, [this] { return m_tasks.size() < m_capacity; });
        m_tasks.push_back(std::move(task));
        m_notEmpty.notify_one();
    }
    bool pop(BatchTask &task)
    {
        std::unique_lock lock(m_mutex);
        m_notEmpty.wait(lock, [this] { return !m_tasks.empty() || m_closed; });
        if (m_tasks.empty())
            return false;
        task = std::move(m_tasks.front());
        m_tasks.pop_front();
        m_notFull.notify_one();
        return true;
    }
    void close()
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        m_notEmpty.notify_all();
    }

private:
    std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_notEmpty;
    std::condition_variable m_notFull;
    std::deque<BatchTask> m_tasks;
    bool m_closed = false;
};

// How many rows one drawing thread draws before a fresh thread takes over. The font cache, with every
// glyph drawn, belongs to its thread; ending the thread lets it go, so that a long list of varied
// names does not keep growing the process. A fresh thread opens its fonts again in a few milliseconds.
constexpr int kRowsPerThread = 1000;

// `count` slots, each drawing rows on a thread of its own that is replaced every kRowsPerThread rows.
class DrawingThreads
{
public:
    using Draw = std::function<void(const BatchTask &)>;
    DrawingThreads(int count, TaskQueue &queue, Draw draw)
        : m_queue(queue)
        , m_draw(std::move(draw))
    {
        for (int i = 0; i < count; ++i)
            m_slots.emplace_back([this] { serve(); });
    }
    ~DrawingThreads() { join(); }
    void join()
    {
        for (std::thread &slot : m_slots) {
            if (slot.joinable())
                slot.join();
        }
    }

private:
    void serve()
    {
        for (bool more = true; more;) {
            const std::unique_ptr<QThread> thread(QThread::create([this, &more] { more = drawSome(); }));
            thread->start();
            thread->wait();
        }
    }
    // False once the queue is closed and empty.
    bool drawSome()
    {
        BatchTask task;
        for (int done = 0; done < kRowsPerThread; ++done) {
            if (!m_queue.pop(task))
                return false;
            m_draw(task);
        }
        return true;
    }

    TaskQueue &m_queue;
    Draw m_draw;
    std::vector<std::thread> m_slots;
};

void drawAndWrite(const BatchTask &task, const CliOptions &options, BatchReport &report)
{
    ExportOptions exportOptions = options.exportOptions;
    exportOptions.format = task.format;
    const QByteArray bytes = exportBytes(task.jobs, options.inverted, exportOptions);
    if (bytes.isEmpty()) {
        report.failed(task.line, QStringLiteral("the picture could not be encoded"));
        return;
    }
    const WriteOutcome outcome = WriteToFile(task.path, bytes);
    if (outcome.written)
        report.written();
    else
        report.failed(task.line, QStringLiteral("cannot write %1: %2").arg(task.path, outcome.reason));
}

bool openInput(QFile &input, const QString &name)
{
    if (name == QLatin1String("-"))
        return input.open(stdin, QIODevice::ReadOnly);
    input.setFileName(name);
    return input.open(QIODevice::ReadOnly);
}

// The rows of the shard, for the progress line; -1 when the input cannot be read twice.
qint64 countRows(const CliOptions &options)
{
    QFile input;
    if (options.batch == QLatin1String("-") || !openInput(input, options.batch))
        return -1;
    BatchRowReader reader(input, {options.exportOptions.format, false});
    qint64 rows = 0;
    for (BatchRow row; reader.next(row);)
        rows += options.shard.takes(row.number) ? 1 : 0;
    return rows;
}

QString prepareFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.exists() && !QDir().mkpath(folder))
        return QStringLiteral("cannot make the folder %1").arg(folder);
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("%1 is not a folder").arg(folder);
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("cannot write into the folder %1").arg(folder);
    return {};
}

struct Feeder
{
    const CliOptions &options;
    const QStringList &faces;
    BatchReport &report;
    TaskQueue &queue;
    QHash<QString, QStringList> leftovers;

    // A row of the shard: reported when bad, skipped when its file exists, else queued.
    void take(const BatchRow &row)
    {
        if (!row.error.isEmpty()) {
            report.failed(row.line, row.error);
            return;
        }
        const QString path = QDir(options.outputDir).filePath(row.output.fileName);
        for (const QString &leftover : leftovers.take(row.output.fileName))
            QFile::remove(leftover);
        if (!options.overwrite && QFileInfo::exists(path)) {
            report.skipped();
            return;
        }
        queue.push({row.line, outputJobs(faces, options.tile, row.chinese, row.english), row.output.format, path});
    }
};

} // namespace

QHash<QString, QStringList> leftoverTemporaryFiles(const QString &folder)
{
    QHash<QString, QStringList> found;
    QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        const QString target = outputTemporaryTarget(entries.fileName());
        if (!target.isEmpty())
            found[target].append(entries.filePath());
    }
    return found;
}

int runBatch(const CliOptions &options, const QStringList &faces)
{
    QFile input;
    if (!openInput(input, options.batch)) {
        std::fprintf(stderr, "signature-designer: cannot read %s: %s\n", qPrintable(options.batch),
                     qPrintable(input.errorString()));
        return 1;
    }
    if (const QString problem = prepareFolder(options.outputDir); !problem.isEmpty()) {
        std::fprintf(stderr, "signature-designer: %s\n", qPrintable(problem));
        return 1;
    }
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    BatchReport report(options.batch == QLatin1String("-") ? QStringLiteral("<stdin>") : options.batch, stderr,
                       terminal);
    if (terminal)
        report.setTotal(countRows(options));
    TaskQueue queue(std::size_t(options.jobs) * 2);
    DrawingThreads threads(options.jobs, queue, [&](const BatchTask &task) { drawAndWrite(task, options, report); });
    Feeder feeder{options, faces, report, queue, leftoverTemporaryFiles(options.outputDir)};
    BatchRowReader reader(input, {options.exportOptions.format, options.englishAuto});
    for (BatchRow row; reader.next(row);) {
        if (options.shard.takes(row.number))
            feeder.take(row);
    }
    queue.close();
    threads.join();
    if (!reader.errorString().isEmpty())
        report.failed(0, QStringLiteral("reading stopped: %1").arg(reader.errorString()));
    report.finish();
    return report.failedCount() > 0 ? 1 : 0;
}
