#include "tile_fixture.h"
#include "ui/hyper_linker.h"

#include <QApplication>
#include <QSignalSpy>

namespace {

const QStringList kTabStops = {QStringLiteral("编辑框1"), QStringLiteral("按钮1"), QStringLiteral("编辑框2"),
                               QStringLiteral("选择框1"), QStringLiteral("按钮2")};

} // namespace

class TestKeysFocus : public QObject
{
    Q_OBJECT
    TileWindowFixture m_fixture;

    QWidget *named(const QString &name) const { return m_fixture.window->findChild<QWidget *>(name); }
    QString focusedName() const
    {
        return QApplication::focusWidget() != nullptr ? QApplication::focusWidget()->objectName() : QString();
    }

private Q_SLOTS:
    void init()
    {
        m_fixture.open();
        QVERIFY(QTest::qWaitForWindowActive(m_fixture.window.get()));
    }
    void cleanup() { m_fixture.close(); }

    void shouldCycleThroughTheTabStops_data()
    {
        QTest::addColumn<int>("from");
        for (int i = 0; i < kTabStops.size(); ++i)
            QTest::newRow(qPrintable(kTabStops[i])) << i;
    }
    void shouldCycleThroughTheTabStops()
    {
        QFETCH(int, from);
        named(kTabStops[from])->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusedName(), kTabStops[(from + 1) % 5]);
        named(kTabStops[from])->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusedName(), kTabStops[(from + 4) % 5]);
    }

    void shouldComeBackToTheFirstFieldAfterFiveTabs()
    {
        QCOMPARE(focusedName(), kTabStops[0]);
        QStringList visited;
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(focusedName());
        }
        QCOMPARE(visited, (QStringList{kTabStops[1], kTabStops[2], kTabStops[3], kTabStops[4], kTabStops[0]}));
    }

    void shouldMoveTheFocusWithoutSelectingOrClicking()
    {
        QSignalSpy previews(qobject_cast<QPushButton *>(named(kTabStops[1])), &QPushButton::clicked);
        QLineEdit *first = m_fixture.field(1);
        QLineEdit *second = m_fixture.field(2);
        // The user leaves a selection in the second field and the caret inside the first.
        second->setFocus(Qt::MouseFocusReason);
        second->setSelection(1, 3);
        first->setFocus(Qt::MouseFocusReason);
        first->setCursorPosition(2);
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusedName(), kTabStops[0]);
        QVERIFY(!first->hasSelectedText());
        QCOMPARE(first->cursorPosition(), 2);
        QTest::keyClick(first, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), second);
        QCOMPARE(second->selectionStart(), 1);
        QCOMPARE(second->selectedText(), QStringLiteral("ori"));
        QCOMPARE(first->text(), QStringLiteral("砚溪岚舍"));
        QCOMPARE(second->text(), QStringLiteral("morilane"));
        QVERIFY(m_fixture.inverted()->isChecked());
        QCOMPARE(previews.count(), 0);
    }

    // Arrow keys have no effect of their own on the buttons and the check box, Enter and F1 none
    // anywhere: the focus stays where it is and nothing is clicked or toggled.
    void shouldKeepTheFocusOnArrowsEnterAndF1_data()
    {
        QTest::addColumn<int>("stop");
        for (int i = 0; i < kTabStops.size(); ++i)
            QTest::newRow(qPrintable(kTabStops[i])) << i;
    }
    void shouldKeepTheFocusOnArrowsEnterAndF1()
    {
        QFETCH(int, stop);
        QSignalSpy previews(qobject_cast<QPushButton *>(named(kTabStops[1])), &QPushButton::clicked);
        QSignalSpy saves(qobject_cast<QPushButton *>(named(kTabStops[4])), &QPushButton::clicked);
        named(kTabStops[stop])->setFocus(Qt::TabFocusReason);
        for (Qt::Key key :
             {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up, Qt::Key_Return, Qt::Key_Enter, Qt::Key_F1}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QVERIFY2(focusedName() == kTabStops[stop],
                     qPrintable(QKeySequence(key).toString() + QStringLiteral(" moved the focus to ") + focusedName()));
        }
        QCOMPARE(previews.count(), 0);
        QCOMPARE(saves.count(), 0);
        QVERIFY(m_fixture.inverted()->isChecked());
    }

    void shouldMoveTheCaretWithLeftAndRightInAField()
    {
        QLineEdit *second = m_fixture.field(2);
        second->setFocus();
        second->setCursorPosition(3);
        QTest::keyClick(second, Qt::Key_Left);
        QCOMPARE(second->cursorPosition(), 2);
        QTest::keyClick(second, Qt::Key_Right);
        QTest::keyClick(second, Qt::Key_Right);
        QCOMPARE(second->cursorPosition(), 4);
        QCOMPARE(QApplication::focusWidget(), second);
    }

    void shouldClickButtonsAndToggleTheBoxWithSpace()
    {
        QSignalSpy previews(qobject_cast<QPushButton *>(named(kTabStops[1])), &QPushButton::clicked);
        named(kTabStops[1])->setFocus();
        QTest::keyClick(named(kTabStops[1]), Qt::Key_Space);
        QCOMPARE(previews.count(), 1);
        named(kTabStops[3])->setFocus();
        QTest::keyClick(named(kTabStops[3]), Qt::Key_Space);
        QVERIFY(!m_fixture.inverted()->isChecked());
    }

    void shouldGiveTheFocusBackAfterAnotherWindowHadIt()
    {
        m_fixture.field(2)->setFocus();
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!m_fixture.window->isActiveWindow());
        other.close();
        m_fixture.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_fixture.window.get()));
        QCOMPARE(QApplication::focusWidget(), m_fixture.field(2));
    }

    void shouldKeepTheFocusWhenATileLabelOrTheLinkIsClicked_data()
    {
        QTest::addColumn<QString>("clicked");
        for (const char *name : {"画板1", "画板6", "标签1", "标签2", "超级链接框1"})
            QTest::newRow(name) << QString::fromUtf8(name);
    }
    void shouldKeepTheFocusWhenATileLabelOrTheLinkIsClicked()
    {
        QFETCH(QString, clicked);
        HyperLinker::setOpener([](const QUrl &, QObject *, OpenDone done) { done(true); }); // no browser here
        m_fixture.field(2)->setFocus();
        QTest::mouseClick(named(clicked), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), m_fixture.field(2));
        HyperLinker::setOpener({});
    }
};

QTEST_MAIN(TestKeysFocus)
#include "tst_keys_focus.moc"
