#pragma once

#include <QString>

enum class NameOrder { SurnameFirst, GivenNameFirst };

// The romanised form of a Chinese personal name, as the rules for writing names in pinyin have it:
// the surname and the given name each one word with a capital letter ("Zeng Guofan", "Ouyang Xiu"),
// no tone marks, ü kept ("Lü Bu"), and an apostrophe where a syllable beginning with a, o or e follows
// a letter inside a word ("Xi'an").
//
// The surname is the longest known surname, single or compound, at the start of the name, and takes
// its reading as a surname (单 Shan, 万俟 Moqi); without a known one it is the first character. Every
// other character takes its most common reading. Characters without a reading (Latin letters, digits,
// punctuation, a character the table lacks) are kept as typed; runs of spaces become one space and
// spaces the user typed inside the given name stay as word breaks. A name with a middle dot (a foreign
// name written in hanzi, 约翰·史密斯) or one that does not begin with a hanzi has no surname to move:
// each part becomes one word, in the order typed, whatever `order` asks.
//
// Reads the shared PinyinTable, so the first call loads it.
QString proposeRomanisedName(QStringView chinese, NameOrder order);
