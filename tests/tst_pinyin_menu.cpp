#include "pinyin/pinyin_table.h"
#include "render/tile_renderer.h"
#include "tile_fixture.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

namespace {

const QString kSurnameFirst = QStringLiteral("按中文姓名填写拼音");
const QString kGivenNameFirst = QStringLiteral("按中文姓名填写拼音（名在前）");

// Opens the field's context menu as a right click does; the menu stays open, as for the user.
QMenu *openContextMenu(QLineEdit *field)
{
    const QPoint at = field->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, field->mapToGlobal(at));
    QApplication::sendEvent(field, &event);
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

QAction *entry(const QMenu *menu, const QString &text)
{
    const QList<QAction *> actions = menu->actions();
    const auto found = std::find_if(actions.begin(), actions.end(), [&](QAction *a) { return a->text() == text; });
    return found != actions.end() ? *found : nullptr;
}

} // namespace

class TestPinyinMenu : public QObject
{
    Q_OBJECT
    TileWindowFixture m_fixture;

    // Right-clicks 编辑框2 and clicks the entry, as the user does.
    bool choose(const QString &text) const
    {
        QMenu *menu = openContextMenu(m_fixture.field(2));
        QAction *action = menu != nullptr ? entry(menu, text) : nullptr;
        if (action == nullptr)
            return false;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        return QApplication::activePopupWidget() == nullptr;
    }

private Q_SLOTS:
    void initTestCase() { installTileFaces(); }
    void init()
    {
        m_fixture.open();
        QVERIFY(QTest::qWaitForWindowActive(m_fixture.window.get()));
    }
    void cleanup()
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        m_fixture.close();
    }

    // Runs first: nothing before it in this process has romanised a name.
    void shouldLoadThePinyinTableWhenAnEntryIsChosenNotBefore()
    {
        QVERIFY(!PinyinTable::isSharedLoaded());
        QMenu *menu = openContextMenu(m_fixture.field(2));
        QVERIFY(menu != nullptr);
        menu->close();
        QVERIFY(!PinyinTable::isSharedLoaded());
        QVERIFY(choose(kSurnameFirst));
        QVERIFY(PinyinTable::isSharedLoaded());
        QCOMPARE(m_fixture.field(2)->text(), QStringLiteral("Yan Xilanshe"));
    }

    void shouldOfferTheEntriesBesideTheStandardOnesOnTheEnglishFieldOnly()
    {
        QLineEdit plain(m_fixture.field(2)->text());
        const std::unique_ptr<QMenu> standard(plain.createStandardContextMenu());
        const QList<QAction *> expected = standard->actions();

        QMenu *english = openContextMenu(m_fixture.field(2));
        QVERIFY(english != nullptr);
        const QList<QAction *> actions = english->actions();
        QCOMPARE(actions.size(), expected.size() + 3);
        for (qsizetype i = 0; i < expected.size(); ++i)
            QCOMPARE(actions[i]->text(), expected[i]->text());
        QVERIFY(actions[expected.size()]->isSeparator());
        QCOMPARE(actions[expected.size() + 1]->text(), kSurnameFirst);
        QCOMPARE(actions[expected.size() + 2]->text(), kGivenNameFirst);
        QVERIFY(actions[expected.size() + 1]->isEnabled());
        english->close();
        QVERIFY(m_fixture.field(2)->toolTip().contains(kSurnameFirst));

        QMenu *chinese = openContextMenu(m_fixture.field(1));
        QVERIFY(chinese != nullptr);
        QCOMPARE(chinese->actions().size(), expected.size());
        QCOMPARE(entry(chinese, kSurnameFirst), nullptr);
        QVERIFY(m_fixture.field(1)->toolTip().isEmpty());
    }

    void shouldReplaceTheTextAsOneUndoableEdit_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("expected");
        QTest::newRow("surname first") << kSurnameFirst << QStringLiteral("曾国藩") << QStringLiteral("Zeng Guofan");
        QTest::newRow("given name first")
            << kGivenNameFirst << QStringLiteral("欧阳修") << QStringLiteral("Xiu Ouyang");
    }
    void shouldReplaceTheTextAsOneUndoableEdit()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, chinese);
        QFETCH(QString, expected);
        QLineEdit *english = m_fixture.field(2);
        m_fixture.field(1)->setText(chinese);
        english->setFocus(Qt::MouseFocusReason);
        english->setSelection(1, 3); // the user had part of the old text selected
        QVERIFY(choose(chosen));
        QTRY_COMPARE(QApplication::focusWidget(), english);
        QCOMPARE(english->text(), expected);
        QVERIFY(!english->hasSelectedText());
        QCOMPARE(english->cursorPosition(), expected.size());

        // Typing after it is a step of its own, and one more undo brings the old text back whole.
        QTest::keyClicks(english, QStringLiteral(" Jr"));
        QCOMPARE(english->text(), expected + QStringLiteral(" Jr"));
        QTest::keyClick(english, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(english->text(), expected);
        QTest::keyClick(english, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(english->text(), QStringLiteral("morilane"));
        QVERIFY(!english->isUndoAvailable());
        QCOMPARE(m_fixture.field(1)->text(), chinese);
    }

    // Chosen while another control has the focus: the caret is at the end once Tab reaches the field.
    void shouldLeaveTheCaretAtTheEndForTheNextVisit()
    {
        QLineEdit *english = m_fixture.field(2);
        QCOMPARE(QApplication::focusWidget(), m_fixture.field(1));
        QVERIFY(choose(kSurnameFirst));
        QWidget *preview = m_fixture.window->widget(u"按钮1");
        preview->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(preview, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), english);
        QCOMPARE(english->text(), QStringLiteral("Yan Xilanshe"));
        QVERIFY(!english->hasSelectedText());
        QCOMPARE(english->cursorPosition(), english->text().size());
    }

    void shouldDisableTheEntriesWhileTheChineseNameIsBlank()
    {
        m_fixture.field(1)->setText(QStringLiteral(" \u3000"));
        QMenu *menu = openContextMenu(m_fixture.field(2));
        QVERIFY(menu != nullptr);
        QVERIFY(!entry(menu, kSurnameFirst)->isEnabled());
        QVERIFY(!entry(menu, kGivenNameFirst)->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry(menu, kSurnameFirst)).center());
        QCOMPARE(m_fixture.field(2)->text(), QStringLiteral("morilane"));
    }

    // The preview after the entry draws exactly what typing the proposal would have drawn.
    void shouldPreviewTheProposalOnTheEnglishTiles_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("expected");
        QTest::newRow("surname first") << kSurnameFirst << QStringLiteral("曾国藩") << QStringLiteral("Zeng Guofan");
        QTest::newRow("given name first, ü") << kGivenNameFirst << QStringLiteral("吕布") << QStringLiteral("Bu Lü");
    }
    void shouldPreviewTheProposalOnTheEnglishTiles()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, chinese);
        QFETCH(QString, expected);
        const QImage before5 = m_fixture.raster(5);
        m_fixture.field(1)->setText(chinese);
        QVERIFY(choose(chosen));
        QCOMPARE(m_fixture.field(2)->text(), expected);
        m_fixture.clickPreview();
        const QImage chosen5 = m_fixture.raster(5);
        const QImage chosen6 = m_fixture.raster(6);
        QVERIFY(chosen5 != before5);

        m_fixture.field(2)->setText(QStringLiteral("morilane"));
        m_fixture.clickPreview();
        QCOMPARE(m_fixture.raster(5), before5);
        m_fixture.field(2)->setText(expected);
        m_fixture.clickPreview();
        QCOMPARE(m_fixture.raster(5), chosen5);
        QCOMPARE(m_fixture.raster(6), chosen6);
    }
};

QTEST_MAIN(TestPinyinMenu)
#include "tst_pinyin_menu.moc"
