#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>
#include <mutex>

// "1,000 written, 2 failed, 0 skipped"
QString batchSummary(qint64 written, qint64 failed, qint64 skipped);
// "1,234 / 10,000 rows, 456 rows/s, 0:19 left"; without a total (standard input), just the rows and rate.
QString progressLine(qint64 done, qint64 total, double seconds);
// 1234567 as "1,234,567"
QString groupedNumber(qint64 number);

// What a batch tells its user on standard error, from any thread: each failed row as it happens,
// a progress line that rewrites itself (only on a terminal), and the summary at the end.
class BatchReport
{
public:
    BatchReport(QString inputName, std::FILE *stream, bool showProgress);

    void setTotal(qint64 total) { m_total = total; }
    void written() { count(m_written); }
    void skipped() { count(m_skipped); }
    void failed(qint64 line, const QString &reason);
    // Clears the progress line and prints the summary.
    void finish();

    qint64 writtenCount() const { return m_written; }
    qint64 failedCount() const { return m_failed; }
    qint64 skippedCount() const { return m_skipped; }

private:
    void count(qint64 &counter);
    void print(const QString &text);
    void showProgress();
    void clearProgress();

    QString m_inputName;
    std::FILE *m_stream;
    bool m_showProgress;
    std::mutex m_mutex;
    QElapsedTimer m_clock;
    qint64 m_lastShown = -1000;
    bool m_progressShown = false;
    qint64 m_total = -1;
    qint64 m_written = 0;
    qint64 m_failed = 0;
    qint64 m_skipped = 0;
};
