#include "pinyin/pinyin.h"
#include "pinyin/pinyin_table.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

#include <set>

namespace {

// Only the ten characters of the original unified block that the Unicode Han database gives no
// Mandarin reading at all (characters made in Japan and ligatures of measure units).
const QString kNoMandarinReading = QStringLiteral("兙兡嗧桛烪瓧瓰瓱瓼甅");

QString readingOf(const PinyinTable &table, char32_t c)
{
    return table.reading(c).toString();
}

} // namespace

class TestPinyin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldLoadTheSharedTableOnlyWhenANameIsRomanised()
    {
        QVERIFY(!PinyinTable::isSharedLoaded());
        QCOMPARE(proposeRomanisedName(u" ", NameOrder::SurnameFirst), QString());
        QVERIFY(!PinyinTable::isSharedLoaded());
        QCOMPARE(proposeRomanisedName(u"李白", NameOrder::SurnameFirst), QStringLiteral("Li Bai"));
        QVERIFY(PinyinTable::isSharedLoaded());
    }

    void shouldRomaniseNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("surnameFirst");
        QTest::addColumn<QString>("givenNameFirst");
        const auto row = [](const char *tag, const char *name, const char *surnameFirst, const char *givenFirst) {
            QTest::newRow(tag) << QString::fromUtf8(name) << QString::fromUtf8(surnameFirst)
                               << QString::fromUtf8(givenFirst);
        };
        // Surnames whose common reading is wrong for a surname.
        row("曾 not Ceng", "曾国藩", "Zeng Guofan", "Guofan Zeng");
        row("单 not Dan", "单田芳", "Shan Tianfang", "Tianfang Shan");
        row("仇 not Chou", "仇英", "Qiu Ying", "Ying Qiu");
        row("解 not Jie", "解缙", "Xie Jin", "Jin Xie");
        row("区 not Qu", "区寄", "Ou Ji", "Ji Ou");
        row("朴 not Pu", "朴树", "Piao Shu", "Shu Piao");
        row("查 not Cha", "查良镛", "Zha Liangyong", "Liangyong Zha");
        row("盖 not Gai", "盖叫天", "Ge Jiaotian", "Jiaotian Ge");
        row("乐 not Le", "乐嘉", "Yue Jia", "Jia Yue");
        row("华", "华罗庚", "Hua Luogeng", "Luogeng Hua");
        row("繁 not Fan", "繁钦", "Po Qin", "Qin Po");
        row("surname reading for the surname only", "单单", "Shan Dan", "Dan Shan");
        // Compound surnames are one word.
        row("万俟", "万俟卨", "Moqi Xie", "Xie Moqi");
        row("尉迟", "尉迟恭", "Yuchi Gong", "Gong Yuchi");
        row("欧阳", "欧阳修", "Ouyang Xiu", "Xiu Ouyang");
        row("司马", "司马迁", "Sima Qian", "Qian Sima");
        row("诸葛", "诸葛亮", "Zhuge Liang", "Liang Zhuge");
        row("compound surname alone", "欧阳", "Ouyang", "Ouyang");
        row("a space splits a compound", "欧 阳修", "Ou Yangxiu", "Yangxiu Ou");
        // ü, apostrophes, lengths.
        row("ü kept", "吕布", "Lü Bu", "Bu Lü");
        row("Nü capitalised", "女娲", "Nü Wa", "Wa Nü");
        row("西安 takes an apostrophe", "张西安", "Zhang Xi'an", "Xi'an Zhang");
        row("apostrophe before e and o", "王天鹅海鸥", "Wang Tian'ehai'ou", "Tian'ehai'ou Wang");
        row("no apostrophe between words", "王安", "Wang An", "An Wang");
        row("three characters", "王羲之", "Wang Xizhi", "Xizhi Wang");
        row("two characters", "李白", "Li Bai", "Bai Li");
        row("single character", "曾", "Zeng", "Zeng");
        row("outside the basic plane", "赵孟𫖯", "Zhao Mengfu", "Mengfu Zhao");
        row("extension A", "刘䶮", "Liu Yan", "Yan Liu");
        // What is not a readable hanzi stays as typed.
        row("Latin letter", "赵C", "Zhao C", "C Zhao");
        row("unreadable hanzi in the given name", "王兙", "Wang 兙", "兙 Wang");
        row("unreadable hanzi as surname", "兙王", "兙 Wang", "Wang 兙");
        row("unreadable astral hanzi", "王𩸽", "Wang 𩸽", "𩸽 Wang");
        row("foreign name with a middle dot", "约翰·史密斯", "Yuehan·Shimisi", "Yuehan·Shimisi");
        row("empty", "", "", "");
        row("spaces only", " \u3000 ", "", "");
        row("only non-hanzi", "morilane", "morilane", "morilane");
        row("non-hanzi spaces tidied", "  John   Smith ", "John Smith", "John Smith");
        row("spaces tidied", " 曾\u3000国藩  ", "Zeng Guofan", "Guofan Zeng");
        row("typed breaks in the given name stay", "曾 国  藩", "Zeng Guo Fan", "Guo Fan Zeng");

        // 100 characters: a compound surname and 98 more.
        const QString hundred = QStringLiteral("司马") + QStringLiteral("光安").repeated(49);
        const QString given = QStringLiteral("Guang'an") + QStringLiteral("guang'an").repeated(48);
        QTest::newRow("100 characters") << hundred << QStringLiteral("Sima ") + given
                                        << given + QStringLiteral(" Sima");
    }
    void shouldRomaniseNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, surnameFirst);
        QFETCH(QString, givenNameFirst);
        QCOMPARE(proposeRomanisedName(name, NameOrder::SurnameFirst), surnameFirst);
        QCOMPARE(proposeRomanisedName(name, NameOrder::GivenNameFirst), givenNameFirst);
    }

    // GB2312 level 1 and 2: rows 0xB0–0xF7, columns 0xA1–0xFE, less the five empty cells that end row 0xD7.
    void shouldReadEveryGb2312Hanzi()
    {
        QStringDecoder decoder("GB18030");
        QVERIFY(decoder.isValid());
        const PinyinTable &table = PinyinTable::shared();
        std::set<char16_t> seen;
        QString missing;
        for (int row = 0xB0; row <= 0xF7; ++row) {
            for (int column = 0xA1; column <= 0xFE; ++column) {
                if (row == 0xD7 && column >= 0xFA)
                    continue;
                const char bytes[] = {char(row), char(column)};
                const QString hanzi = decoder.decode(QByteArrayView(bytes, 2));
                QCOMPARE(hanzi.size(), 1);
                QCOMPARE(QChar::script(hanzi[0].unicode()), QChar::Script_Han);
                seen.insert(hanzi[0].unicode());
                if (table.reading(hanzi[0].unicode()).isEmpty())
                    missing += hanzi;
            }
        }
        QCOMPARE(seen.size(), std::size_t(6763));
        QCOMPARE(missing, QString());
    }

    // Every character of U+4E00–U+9FA5 that has a Mandarin reading at all, each a toneless syllable.
    void shouldReadTheUnifiedIdeographsAsTonelessSyllables()
    {
        const PinyinTable &table = PinyinTable::shared();
        const QRegularExpression syllable(QStringLiteral("^(?:[a-z]|ü)+$"));
        QString missing;
        QStringList malformed;
        for (char32_t c = 0x4E00; c <= 0x9FA5; ++c) {
            const QString reading = readingOf(table, c);
            if (reading.isEmpty() && !kNoMandarinReading.contains(QChar(char16_t(c))))
                missing += QChar(char16_t(c));
            else if (!reading.isEmpty() && !syllable.match(reading).hasMatch())
                malformed.append(reading);
        }
        QCOMPARE(missing, QString());
        QCOMPARE(malformed, QStringList());
        QCOMPARE(readingOf(table, U'吕'), QStringLiteral("lü"));
        QCOMPARE(readingOf(table, U'A'), QString());
    }
};

QTEST_APPLESS_MAIN(TestPinyin)
#include "tst_pinyin.moc"
