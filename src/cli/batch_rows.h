#pragma once

#include "cli/csv_reader.h"
#include "cli/file_names.h"

#include <QString>

// One row of a batch, read and named.
struct BatchRow
{
    qint64 line = 0;   // where the row starts in the file, from 1
    qint64 number = 0; // among the rows with names, from 0: what --shard counts
    QString chinese;
    QString english;
    OutputNamer::Named output;
    QString error; // why the row cannot be drawn; empty for a good row
};

// The CSV's columns: the Chinese name, the romanised name, optionally the file name.
struct BatchReaderSettings
{
    ExportFormat format = ExportFormat::Bmp;
    bool englishAuto = false; // rows without a romanised name get the pinyin proposal
};

// Reads rows from a CSV stream: blank lines are passed over, a first row that names the columns
// (chinese, english ...) is taken as a header, each field must be UTF-8 and each name at most
// 1,000 characters. A bad row is still returned, with its error, and still counts for --shard.
class BatchRowReader
{
public:
    BatchRowReader(QIODevice &device, const BatchReaderSettings &settings);

    bool next(BatchRow &row);
    QString errorString() const { return m_csv.errorString(); }

private:
    bool isHeader(const CsvRecord &record) const;
    void decode(const CsvRecord &record, BatchRow &row) const;

    CsvReader m_csv;
    BatchReaderSettings m_settings;
    OutputNamer m_namer;
    qint64 m_number = 0;
    bool m_first = true;
};

// Whether a field's bytes are a header's name for the first or second column.
bool isChineseColumnName(const QString &field);
bool isEnglishColumnName(const QString &field);
