#include "pinyin/pinyin_table.h"

#include <QFile>

#include <algorithm>
#include <atomic>

// Resources compiled into a static library must be initialised by name, outside any namespace.
static void initPinyinResources()
{
    Q_INIT_RESOURCE(pinyin);
}

namespace {

std::atomic<bool> g_sharedLoaded{false};

QString resourceText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Calls `take` with every line that is neither empty nor a comment.
template <typename Take>
void forEachDataLine(const QString &text, Take take)
{
    for (QStringView line : QStringView(text).tokenize(u'\n', Qt::SkipEmptyParts)) {
        if (!line.startsWith(u'#'))
            take(line);
    }
}

} // namespace

PinyinTable PinyinTable::load()
{
    initPinyinResources();
    PinyinTable table;
    table.m_basic.assign(0x10000, 0);
    forEachDataLine(resourceText(QStringLiteral(":/pinyin/readings.txt")),
                    [&table](QStringView line) { table.addReadings(line); });
    forEachDataLine(resourceText(QStringLiteral(":/pinyin/surnames.txt")),
                    [&table](QStringView line) { table.addSurname(line); });
    return table;
}

// "syllable characters…": the syllable is the first reading of each of the characters.
void PinyinTable::addReadings(QStringView line)
{
    const qsizetype space = line.indexOf(u' ');
    if (space <= 0)
        return;
    m_syllables.append(line.left(space).toString());
    const auto index = static_cast<quint16>(m_syllables.size());
    const QStringView characters = line.mid(space + 1);
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const QChar unit = characters[i];
        if (unit.isHighSurrogate() && i + 1 < characters.size() && characters[i + 1].isLowSurrogate()) {
            m_supplementary.insert(QChar::surrogateToUcs4(unit, characters[i + 1]), index);
            ++i;
        } else {
            m_basic[unit.unicode()] = index;
        }
        ++m_characterCount;
    }
}

// "surname syllable…", one syllable for each character of the surname.
void PinyinTable::addSurname(QStringView line)
{
    const qsizetype space = line.indexOf(u' ');
    if (space <= 0)
        return;
    const QString name = line.left(space).toString();
    QStringList syllables;
    for (QStringView syllable : line.mid(space + 1).tokenize(u' ', Qt::SkipEmptyParts))
        syllables.append(syllable.toString());
    m_longestSurname = std::max(m_longestSurname, name.size());
    m_surnames.insert(name, syllables);
}

const PinyinTable &PinyinTable::shared()
{
    static const PinyinTable table = [] {
        PinyinTable loaded = load();
        g_sharedLoaded = true;
        return loaded;
    }();
    return table;
}

bool PinyinTable::isSharedLoaded()
{
    return g_sharedLoaded;
}

QStringView PinyinTable::reading(char32_t character) const
{
    quint16 index = 0;
    if (character < m_basic.size())
        index = m_basic[character];
    else
        index = m_supplementary.value(character, 0);
    return index == 0 ? QStringView() : QStringView(m_syllables.at(index - 1));
}

PinyinTable::Surname PinyinTable::surnameAt(QStringView name) const
{
    for (qsizetype length = std::min(m_longestSurname, name.size()); length > 0; --length) {
        const auto found = m_surnames.constFind(name.left(length).toString());
        if (found != m_surnames.cend())
            return {length, found.value()};
    }
    return {};
}
