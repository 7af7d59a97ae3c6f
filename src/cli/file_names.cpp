#include "cli/file_names.h"

#include "export/file_writer.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

bool isRefused(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"/\\:*?\"<>|").contains(c);
}

bool isTrimmed(QChar c)
{
    return c.isSpace() || c == QLatin1Char('.');
}

bool isReservedOnWindows(const QString &name)
{
    static const QRegularExpression reserved(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$"),
                                             QRegularExpression::CaseInsensitiveOption);
    return reserved.match(name.section(QLatin1Char('.'), 0, 0)).hasMatch();
}

// At most `maxBytes` of UTF-8, never splitting a character.
QString cutToBytes(const QString &name, int maxBytes)
{
    qsizetype bytes = 0, end = 0;
    while (end < name.size()) {
        const bool pair = name[end].isHighSurrogate() && end + 1 < name.size() && name[end + 1].isLowSurrogate();
        const char32_t code = pair ? QChar::surrogateToUcs4(name[end], name[end + 1]) : name[end].unicode();
        const int width = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        if (bytes + width > maxBytes)
            break;
        bytes += width;
        end += pair ? 2 : 1;
    }
    return name.left(end);
}

QString trimEnds(QString name)
{
    qsizetype start = 0, end = name.size();
    while (start < end && isTrimmed(name[start]))
        ++start;
    while (end > start && isTrimmed(name[end - 1]))
        --end;
    return name.mid(start, end - start);
}

// FNV-1a over the UTF-16 units: the same digest on every machine, unlike qHash.
quint64 digest(const QString &text)
{
    quint64 hash = 14695981039346656037ULL;
    for (QChar c : text) {
        hash = (hash ^ (c.unicode() & 0xFF)) * 1099511628211ULL;
        hash = (hash ^ (c.unicode() >> 8)) * 1099511628211ULL;
    }
    return hash;
}

} // namespace

QString sanitisedFileName(const QString &name, int maxBytes)
{
    QString cleaned = name;
    for (QChar &c : cleaned) {
        if (isRefused(c))
            c = QLatin1Char('_');
    }
    cleaned = trimEnds(cutToBytes(trimEnds(cleaned), maxBytes));
    if (isReservedOnWindows(cleaned)) {
        const qsizetype dot = cleaned.indexOf(QLatin1Char('.'));
        cleaned.insert(dot < 0 ? cleaned.size() : dot, QLatin1Char('_'));
    }
    return cleaned.isEmpty() ? QStringLiteral("_") : cleaned;
}

OutputNamer::Named OutputNamer::name(const QString &chinese, const QString &english, const QString &given)
{
    Named named{{}, m_defaultFormat};
    QString base = !given.isEmpty() ? given : !chinese.isEmpty() ? chinese : english;
    if (!given.isEmpty()) {
        const QFileInfo info(given);
        if (const std::optional<ExportFormat> format = formatForSuffix(info.suffix()); format) {
            named.format = *format;
            base.chop(info.suffix().size() + 1);
        }
    }
    base = sanitisedFileName(base);
    const QString extension = QLatin1Char('.') + suffixOf(named.format);
    named.fileName = base + extension;
    if (claim(named.fileName))
        return named;
    const quint64 key = digest(base.toCaseFolded() + extension);
    int &number = m_nextNumber.try_emplace(key, 2).first->second;
    do
        named.fileName = base + QLatin1Char('-') + QString::number(number++) + extension;
    while (!claim(named.fileName));
    return named;
}

bool OutputNamer::claim(const QString &fileName)
{
    return m_used.insert(digest(fileName.toCaseFolded())).second;
}

QString outputTemporaryTarget(const QString &fileName)
{
    const QString target = temporaryFileTarget(fileName);
    static const QRegularExpression output(QStringLiteral("\\.(?:bmp|png|svg)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return output.match(target).hasMatch() ? target : QString();
}
