#include "cli/csv_reader.h"

#include <QIODevice>

#include <algorithm>

namespace {

constexpr qint64 kChunk = 64 * 1024;

bool isBlankByte(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

bool CsvRecord::isBlank() const
{
    for (const QByteArray &field : fields) {
        for (char c : field) {
            if (!isBlankByte(c))
                return false;
        }
    }
    return !unterminated && !oversized;
}

CsvReader::CsvReader(QIODevice &device)
    : m_device(device)
{}

bool CsvReader::fill()
{
    if (m_ended)
        return false;
    m_buffer.resize(kChunk);
    const qint64 got = m_device.read(m_buffer.data(), kChunk);
    m_buffer.resize(std::max<qint64>(got, 0));
    m_pos = 0;
    if (got <= 0) {
        if (got < 0)
            m_error = m_device.errorString();
        m_ended = true;
        return false;
    }
    if (!m_started) {
        m_started = true;
        if (m_buffer.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
        if (m_pos >= m_buffer.size())
            return fill();
    }
    return true;
}

int CsvReader::peek()
{
    if (m_pos >= m_buffer.size() && !fill())
        return -1;
    return static_cast<unsigned char>(m_buffer[m_pos]);
}

int CsvReader::take()
{
    const int c = peek();
    if (c >= 0)
        ++m_pos;
    return c;
}

void CsvReader::append(QByteArray &field, CsvRecord &record, char c)
{
    if (field.size() < kMaxFieldBytes)
        field.append(c);
    else
        record.oversized = true;
}

// After the opening quote: up to the closing one, a doubled quote standing for one.
void CsvReader::readQuoted(QByteArray &field, CsvRecord &record)
{
    for (;;) {
        const int c = take();
        if (c < 0) {
            record.unterminated = true;
            return;
        }
        if (c == '"') {
            if (peek() != '"')
                return;
            take();
        } else if (c == '\n' || (c == '\r' && peek() != '\n')) {
            ++m_line;
        }
        append(field, record, static_cast<char>(c));
    }
}

bool CsvReader::next(CsvRecord &record)
{
    record = CsvRecord{};
    record.line = m_line;
    if (peek() < 0)
        return false;
    QByteArray field;
    bool fieldStart = true;
    for (;;) {
        const int c = take();
        if (c < 0 || c == '\n' || c == '\r') {
            if (c == '\r' && peek() == '\n')
                take();
            if (c >= 0)
                ++m_line;
            record.fields.append(field);
            return true;
        }
        if (c == ',') {
            record.fields.append(field);
            field.clear();
            fieldStart = true;
            continue;
        }
        if (c == '"' && fieldStart)
            readQuoted(field, record);
        else
            append(field, record, static_cast<char>(c));
        fieldStart = false;
    }
}
