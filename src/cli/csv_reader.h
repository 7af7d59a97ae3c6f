#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

// One record of a CSV file: its fields as the bytes between the separators, quotes taken off.
struct CsvRecord
{
    qint64 line = 0; // the line it starts on, from 1
    QList<QByteArray> fields;
    bool unterminated = false; // a quoted field ran to the end of the file
    bool oversized = false;    // a field was longer than kMaxFieldBytes; its bytes were dropped
    bool isBlank() const;      // an empty line, or separators and blanks only
};

// Reads records as RFC 4180 has them, from a stream, one at a time, so that the file's size never
// matters: fields separated by commas, records by CR LF, LF or CR; a field in double quotes may hold
// commas, line breaks and doubled quotes. A UTF-8 byte order mark at the start is skipped. The bytes
// are not decoded here: a separator can never be part of a UTF-8 sequence, so each field is decoded
// (and checked) on its own.
class CsvReader
{
public:
    static constexpr qsizetype kMaxFieldBytes = 16 * 1024;

    explicit CsvReader(QIODevice &device);

    // The next record; false at the end of the input.
    bool next(CsvRecord &record);
    // Why reading stopped early, when it did.
    QString errorString() const { return m_error; }

private:
    int take();
    int peek();
    bool fill();
    void append(QByteArray &field, CsvRecord &record, char c);
    void readQuoted(QByteArray &field, CsvRecord &record);

    QIODevice &m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qint64 m_line = 1;
    bool m_started = false;
    bool m_ended = false;
    QString m_error;
};
