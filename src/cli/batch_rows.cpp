#include "cli/batch_rows.h"

#include "cli/cli_options.h"
#include "pinyin/pinyin.h"

#include <QStringDecoder>

namespace {

// Strict: a byte sequence that is not UTF-8 makes the row bad instead of drawing replacement marks.
std::optional<QString> decodeUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text.trimmed();
}

bool oneOf(const QString &field, std::initializer_list<const char16_t *> names)
{
    for (const char16_t *name : names) {
        if (field.compare(QString::fromUtf16(name), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

bool isChineseColumnName(const QString &field)
{
    return oneOf(field, {u"chinese", u"chinese name", u"中文", u"中文名", u"中文姓名", u"姓名"});
}

bool isEnglishColumnName(const QString &field)
{
    return oneOf(field, {u"english", u"english name", u"英文", u"英文名", u"英文姓名", u"拼音"});
}

BatchRowReader::BatchRowReader(QIODevice &device, const BatchReaderSettings &settings)
    : m_csv(device)
    , m_settings(settings)
    , m_namer(settings.format)
{}

bool BatchRowReader::isHeader(const CsvRecord &record) const
{
    const std::optional<QString> first = decodeUtf8(record.fields.value(0));
    const std::optional<QString> second = decodeUtf8(record.fields.value(1));
    return (first && isChineseColumnName(*first)) || (second && isEnglishColumnName(*second));
}

void BatchRowReader::decode(const CsvRecord &record, BatchRow &row) const
{
    if (record.unterminated) {
        row.error = QStringLiteral("a quoted field without its closing quote");
        return;
    }
    QString fields[3];
    for (qsizetype i = 0; i < 3 && i < record.fields.size(); ++i) {
        const std::optional<QString> text = decodeUtf8(record.fields[i]);
        if (!text) {
            row.error = QStringLiteral("bad UTF-8");
            return;
        }
        fields[i] = *text;
    }
    if (record.oversized || nameLength(fields[0]) > kMaxNameLength || nameLength(fields[1]) > kMaxNameLength) {
        row.error = QStringLiteral("a name longer than 1,000 characters");
        return;
    }
    row.chinese = fields[0];
    row.english = fields[1];
    if (row.english.isEmpty() && m_settings.englishAuto)
        row.english = proposeRomanisedName(row.chinese, NameOrder::SurnameFirst);
    row.output.fileName = fields[2]; // named by the reader, in row order
}

bool BatchRowReader::next(BatchRow &row)
{
    CsvRecord record;
    while (m_csv.next(record)) {
        if (record.isBlank())
            continue;
        const bool first = std::exchange(m_first, false);
        if (first && isHeader(record))
            continue;
        row = BatchRow{};
        row.line = record.line;
        row.number = m_number++;
        decode(record, row);
        if (row.error.isEmpty())
            row.output = m_namer.name(row.chinese, row.english, row.output.fileName);
        return true;
    }
    return false;
}
