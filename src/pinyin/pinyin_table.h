#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// The readings of Chinese characters and of surnames, from the tables compiled into the program
// (data/pinyin: the first kMandarin reading of each character of the Unicode Han database, and a list
// of single and compound surnames). Syllables are lower case, without tone marks, with ü as ü.
class PinyinTable
{
public:
    // The one table of the program, read from the compiled-in data the first time it is asked for,
    // never at start-up.
    static const PinyinTable &shared();
    // Whether shared() has read its table yet.
    static bool isSharedLoaded();
    // A fresh table read from the compiled-in data.
    static PinyinTable load();

    // The most common reading of the character; empty when the table has none.
    QStringView reading(char32_t character) const;

    struct Surname
    {
        qsizetype length = 0; // in UTF-16 units of the name; 0: no known surname
        QStringList syllables;
    };
    // The longest known surname, single or compound, at the start of `name`.
    Surname surnameAt(QStringView name) const;

    // How many characters have a reading.
    qsizetype characterCount() const { return m_characterCount; }
    qsizetype surnameCount() const { return m_surnames.size(); }

private:
    void addReadings(QStringView line);
    void addSurname(QStringView line);

    QStringList m_syllables;
    // Basic plane by UTF-16 unit, others by code point: 1 + index into m_syllables, 0 for none.
    std::vector<quint16> m_basic;
    QHash<char32_t, quint16> m_supplementary;
    qsizetype m_characterCount = 0;
    QHash<QString, QStringList> m_surnames;
    qsizetype m_longestSurname = 0;
};
