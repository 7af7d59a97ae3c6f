#include "cli/batch_report.h"

#include <QLocale>

namespace {

constexpr qint64 kProgressEveryMs = 200;

QString clockTime(qint64 seconds)
{
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2").arg((seconds / 60) % 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (seconds < 3600)
        return minutesAndSeconds;
    return QStringLiteral("%1:%2").arg(seconds / 3600).arg(minutesAndSeconds.rightJustified(5, QLatin1Char('0')));
}

} // namespace

QString groupedNumber(qint64 number)
{
    QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(number);
}

QString batchSummary(qint64 written, qint64 failed, qint64 skipped)
{
    return QStringLiteral("%1 written, %2 failed, %3 skipped")
        .arg(groupedNumber(written), groupedNumber(failed), groupedNumber(skipped));
}

QString progressLine(qint64 done, qint64 total, double seconds)
{
    const double rate = seconds > 0 ? double(done) / seconds : 0.0;
    const QString rateText = groupedNumber(qRound64(rate)) + QStringLiteral(" rows/s");
    if (total < 0)
        return QStringLiteral("%1 rows, %2").arg(groupedNumber(done), rateText);
    QString line = QStringLiteral("%1 / %2 rows, %3").arg(groupedNumber(done), groupedNumber(total), rateText);
    if (rate > 0 && done < total)
        line += QStringLiteral(", %1 left").arg(clockTime(qRound64(double(total - done) / rate)));
    return line;
}

BatchReport::BatchReport(QString inputName, std::FILE *stream, bool showProgress)
    : m_inputName(std::move(inputName))
    , m_stream(stream)
    , m_showProgress(showProgress)
{
    m_clock.start();
}

void BatchReport::failed(qint64 line, const QString &reason)
{
    const std::lock_guard lock(m_mutex);
    ++m_failed;
    clearProgress();
    print(QStringLiteral("%1:%2: %3\n").arg(m_inputName).arg(line).arg(reason));
    showProgress();
}

void BatchReport::count(qint64 &counter)
{
    const std::lock_guard lock(m_mutex);
    ++counter;
    if (m_clock.elapsed() - m_lastShown >= kProgressEveryMs)
        showProgress();
}

void BatchReport::finish()
{
    const std::lock_guard lock(m_mutex);
    clearProgress();
    print(batchSummary(m_written, m_failed, m_skipped) + QLatin1Char('\n'));
}

void BatchReport::print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), m_stream);
    std::fflush(m_stream);
}

void BatchReport::showProgress()
{
    if (!m_showProgress)
        return;
    m_lastShown = m_clock.elapsed();
    const qint64 done = m_written + m_failed + m_skipped;
    print(QStringLiteral("\r\x1b[K") + progressLine(done, m_total, double(m_lastShown) / 1000.0));
    m_progressShown = true;
}

void BatchReport::clearProgress()
{
    if (m_progressShown)
        print(QStringLiteral("\r\x1b[K"));
    m_progressShown = false;
}
