#include "pinyin/pinyin.h"

#include "pinyin/pinyin_table.h"

#include <algorithm>
#include <utility>

namespace {

bool isMiddleDot(char32_t c)
{
    return c == 0x00B7 || c == 0x2022 || c == 0x2027 || c == 0x30FB || c == 0xFF65;
}

bool isLatinLetter(char32_t c)
{
    return QChar::isLetter(c) && QChar::script(c) == QChar::Script_Latin;
}

// Visits the code points of `text`; a lone surrogate is visited as itself.
template <typename Visit>
void forEachCodePoint(QStringView text, Visit visit)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            visit(QChar::surrogateToUcs4(text[i], text[i + 1]), QStringView(text).mid(i, 2));
            ++i;
        } else {
            visit(char32_t(text[i].unicode()), QStringView(text).mid(i, 1));
        }
    }
}

// One word of the result. Its first syllable takes the capital unless the user typed a letter before
// it; a syllable beginning with a, o or e after a letter gets an apostrophe, so "xi'an" never reads
// as "xian".
class Word
{
public:
    void addSyllable(QStringView syllable)
    {
        if (syllable.isEmpty())
            return;
        if (m_endsWithLetter && QStringView(u"aoe").contains(syllable.front()))
            m_text += u'\'';
        if (m_hasLetter) {
            m_text += syllable;
        } else {
            m_text += syllable.front().toUpper();
            m_text += syllable.mid(1);
        }
        m_hasLetter = m_endsWithLetter = true;
    }
    void addTyped(char32_t c, QStringView typed)
    {
        m_text += typed;
        m_endsWithLetter = isLatinLetter(c);
        m_hasLetter = m_hasLetter || m_endsWithLetter;
    }
    void addCharacter(char32_t c, QStringView typed, const PinyinTable &table)
    {
        const QStringView syllable = table.reading(c);
        if (syllable.isEmpty())
            addTyped(c, typed);
        else
            addSyllable(syllable);
    }
    QString take()
    {
        m_hasLetter = m_endsWithLetter = false;
        return std::exchange(m_text, QString());
    }

private:
    QString m_text;
    bool m_hasLetter = false;
    bool m_endsWithLetter = false;
};

// Every character by its most common reading; spaces and middle dots end a word and stay as typed.
QString romaniseWords(QStringView text, const PinyinTable &table)
{
    QString result;
    Word word;
    forEachCodePoint(text, [&](char32_t c, QStringView typed) {
        if (c == u' ' || isMiddleDot(c)) {
            result += word.take();
            result += typed;
        } else {
            word.addCharacter(c, typed, table);
        }
    });
    return result + word.take();
}

// 2 when `text` starts with a surrogate pair, else 1; `text` is not empty.
qsizetype firstCharacterLength(QStringView text)
{
    return text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate() ? 2 : 1;
}

struct Surname
{
    QString romanised;
    qsizetype length = 0; // UTF-16 units of the name it takes
};

// The longest known surname at the start of `name` by its surname reading, else the first character.
Surname romaniseSurname(QStringView name, const PinyinTable &table)
{
    Word word;
    const PinyinTable::Surname known = table.surnameAt(name);
    if (known.length > 0) {
        for (const QString &syllable : known.syllables)
            word.addSyllable(syllable);
        return {word.take(), known.length};
    }
    const qsizetype length = firstCharacterLength(name);
    forEachCodePoint(name.first(length), [&](char32_t c, QStringView typed) { word.addCharacter(c, typed, table); });
    return {word.take(), length};
}

bool startsWithHanzi(QStringView name)
{
    const QStringView first = name.first(firstCharacterLength(name));
    const char32_t c = first.size() == 2 ? QChar::surrogateToUcs4(first[0], first[1]) : char32_t(first[0].unicode());
    return QChar::script(c) == QChar::Script_Han;
}

bool hasMiddleDot(QStringView name)
{
    return std::any_of(name.begin(), name.end(), [](QChar c) { return isMiddleDot(c.unicode()); });
}

} // namespace

QString proposeRomanisedName(QStringView chinese, NameOrder order)
{
    const QString name = chinese.toString().simplified();
    if (name.isEmpty())
        return {};
    const PinyinTable &table = PinyinTable::shared();
    if (!startsWithHanzi(name) || hasMiddleDot(name))
        return romaniseWords(name, table);
    const Surname surname = romaniseSurname(name, table);
    const QString given = romaniseWords(QStringView(name).mid(surname.length).trimmed(), table);
    if (given.isEmpty())
        return surname.romanised;
    if (order == NameOrder::SurnameFirst)
        return surname.romanised + u' ' + given;
    return given + u' ' + surname.romanised;
}
