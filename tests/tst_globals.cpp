#include "app/fatal_error.h"
#include "app/globals.h"
#include "ui/control_table.h"

#include <QTest>

class TestGlobals : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldTruncateRealsTowardZero_data()
    {
        QTest::addColumn<double>("real");
        QTest::addColumn<qint64>("integer");
        QTest::newRow("89.5") << 89.5 << qint64(89);
        QTest::newRow("-0.5") << -0.5 << qint64(0);
        QTest::newRow("-7.9") << -7.9 << qint64(-7);
        QTest::newRow("3.0") << 3.0 << qint64(3);
        QTest::newRow("-10.5 (a name 201 px wide)") << -10.5 << qint64(-10);
        QTest::newRow("2.99") << 2.99 << qint64(2);
        QTest::newRow("-2.99") << -2.99 << qint64(-2);
        QTest::newRow("beyond 32 bits") << 6e9 << qint64(6000000000);
    }
    void shouldTruncateRealsTowardZero()
    {
        QFETCH(double, real);
        QFETCH(qint64, integer);
        QCOMPARE(RealToInteger(real), integer);
    }

    void shouldTakeLowThirtyTwoBits()
    {
        QCOMPARE(low32(-10), -10);
        QCOMPARE(low32((qint64(1) << 32) + 5), 5);
        QCOMPARE(low32(qint64(0xFFFFFFFF)), -1);
    }

    void shouldComposeFatalText_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("text");
        QTest::newRow("index too large")
            << 1 << QStringLiteral("数组成员引用下标超出定义范围")
            << QStringLiteral("运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n");
        QTest::newRow("no code line for code 0") << 0 << QStringLiteral("载入启动窗口失败")
                                                 << QStringLiteral("运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
        QTest::newRow("no message line for an empty message")
            << 4 << QString() << QStringLiteral("运行时出错!\r\n\r\n错误代码：4\r\n\r\n");
        QTest::newRow("neither") << 0 << QString() << QStringLiteral("运行时出错!\r\n\r\n");
        QTest::newRow("negative code") << -3 << QStringLiteral("x")
                                       << QStringLiteral("运行时出错!\r\n\r\n错误代码：-3\r\n\r\n错误信息：x\r\n");
    }
    void shouldComposeFatalText()
    {
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(QString, text);
        QCOMPARE(composeFatalText(code, message), text);
    }

    void shouldNameTheBytesOfAFailedAllocation()
    {
        QCOMPARE(allocationFailureMessage(4096), QStringLiteral("分配 4096 字节内存失败!"));
    }

    void shouldFillTheThreeListsWhenTheWindowIsCreated()
    {
        InitGlobals();
        QCOMPARE(TilePanels().count(), 0);
        QCOMPARE(TileFonts().count(), 0);
        QCOMPARE(TileCaptions().count(), 0);
        OnMainWindowCreated();
        QCOMPARE(TilePanels().count(), 6);
        const std::array<const char16_t *, 6> panels = {u"画板1", u"画板2", u"画板3", u"画板4", u"画板5", u"画板6"};
        const QStringList fonts = {QStringLiteral("方正小篆体"),       QStringLiteral("方正黄草简体"),
                                   QStringLiteral("方正硬笔行书简体"), QStringLiteral("叶根友签名体"),
                                   QStringLiteral("华文行楷"),         QStringLiteral("华文隶书")};
        const QStringList captions = {QStringLiteral("篆体签"), QStringLiteral("草书签"), QStringLiteral("行书签"),
                                      QStringLiteral("艺术签"), QStringLiteral("英文签"), QStringLiteral("英文签")};
        for (int i = 1; i <= 6; ++i) {
            const ControlRef ref = TilePanels().item(i);
            QCOMPARE(ref.window, kMainWindowId);
            QCOMPARE(ref.control, controlId(panels[std::size_t(i - 1)]));
            QCOMPARE(TileFonts().item(i), fonts[i - 1]);
            QCOMPARE(TileCaptions().item(i), captions[i - 1]);
        }
        FreeGlobals();
    }

    void shouldHoldEveryTextAsItsOwnCopy()
    {
        QCOMPARE(DefaultTileCaptions[4], DefaultTileCaptions[5]); // one constant referenced twice
        InitGlobals();
        OnMainWindowCreated();
        const QString &fifth = TileCaptions().item(5);
        const QString &sixth = TileCaptions().item(6);
        QCOMPARE(fifth, sixth);
        QVERIFY(fifth.constData() != sixth.constData());
        for (int i = 1; i <= 6; ++i) {
            QVERIFY(reinterpret_cast<const void *>(TileCaptions().item(i).constData()) !=
                    reinterpret_cast<const void *>(DefaultTileCaptions[std::size_t(i - 1)]));
            QVERIFY(reinterpret_cast<const void *>(TileFonts().item(i).constData()) !=
                    reinterpret_cast<const void *>(DefaultTileFonts[std::size_t(i - 1)]));
        }
        FreeGlobals();
    }

    void shouldReadAnItemWithoutTextAsTheEmptyText()
    {
        TileList<TileText> list;
        list.append(copyText(nullptr));
        list.append(copyText(u"签"));
        QVERIFY(list.item(1).isEmpty());
        QCOMPARE(list.item(2), QStringLiteral("签"));
    }

    void shouldKeepItemsInOrderWhileGrowing()
    {
        TileList<ControlRef> list;
        for (quint32 i = 1; i <= 1000; ++i)
            list.append({7, i});
        QCOMPARE(list.count(), 1000);
        for (int i = 1; i <= 1000; i += 111)
            QCOMPARE(list.item(i), (ControlRef{7, quint32(i)}));
    }
};

QTEST_MAIN(TestGlobals)
#include "tst_globals.moc"
