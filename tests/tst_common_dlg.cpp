#include "ui/common_dlg.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestCommonDlg : public QObject
{
    Q_OBJECT

    // Answers the real dialog once it is up: types `name` and confirms, or cancels for an empty name.
    static void answerDialogWith(const QString &name)
    {
        QTimer::singleShot(50, qApp, [name] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                answerDialogWith(name); // not up yet
                return;
            }
            if (name.isEmpty()) {
                dialog->reject();
                return;
            }
            auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(field != nullptr);
            field->setText(name);
            QTest::keyClick(field, Qt::Key_Return);
        });
    }

private Q_SLOTS:
    void shouldReadTheFilterInPairs_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QList<FilterPair>>("pairs");
        QTest::newRow("the window's filter")
            << QStringLiteral("位图文件(*.bmp)|*.bmp")
            << QList<FilterPair>{{QStringLiteral("位图文件(*.bmp)"), QStringLiteral("*.bmp")}};
        QTest::newRow("two pairs, trailing blanks") << QStringLiteral("A|*.a|B|*.b  ")
                                                    << QList<FilterPair>{{QStringLiteral("A"), QStringLiteral("*.a")},
                                                                         {QStringLiteral("B"), QStringLiteral("*.b")}};
        QTest::newRow("already ends with ||")
            << QStringLiteral("A|*.a||") << QList<FilterPair>{{QStringLiteral("A"), QStringLiteral("*.a")}};
        QTest::newRow("empty") << QString() << QList<FilterPair>{};
    }
    void shouldReadTheFilterInPairs()
    {
        QFETCH(QString, filter);
        QFETCH(QList<FilterPair>, pairs);
        QCOMPARE(parseFilter(filter), pairs);
    }

    void shouldShowPatternsTheDialogUnderstands()
    {
        QCOMPARE(nameFilterOf({QStringLiteral("位图文件(*.bmp)"), QStringLiteral("*.bmp")}),
                 QStringLiteral("位图文件(*.bmp)"));
        QCOMPARE(nameFilterOf({QStringLiteral("Bitmaps"), QStringLiteral("*.bmp")}), QStringLiteral("Bitmaps (*.bmp)"));
    }

    void shouldTakeTheNameTypedIntoTheRealDialog_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("no extension gets .bmp") << QStringLiteral("mine") << QStringLiteral("mine.bmp");
        QTest::newRow("another extension is kept") << QStringLiteral("mine.png") << QStringLiteral("mine.png");
        QTest::newRow("a bitmap name as it is") << QStringLiteral("签名.bmp") << QStringLiteral("签名.bmp");
    }
    void shouldTakeTheNameTypedIntoTheRealDialog()
    {
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        QTemporaryDir folder;
        CommonDlg dialog(nullptr);
        dialog.initialFolder = folder.path();
        answerDialogWith(typed);
        QVERIFY(dialog.Open());
        QCOMPARE(dialog.FileName(), folder.filePath(chosen));
    }

    void shouldKeepTheNameWhenTheRealDialogIsCancelled()
    {
        QTemporaryDir folder;
        CommonDlg dialog(nullptr);
        dialog.initialFolder = folder.path();
        answerDialogWith(QStringLiteral("first"));
        QVERIFY(dialog.Open());
        answerDialogWith(QString());
        QVERIFY(!dialog.Open());
        QCOMPARE(dialog.FileName(), folder.filePath(QStringLiteral("first.bmp")));
        QCOMPARE(dialog.request().initialPath, folder.filePath(QStringLiteral("first.bmp")));
    }
};

QTEST_MAIN(TestCommonDlg)
#include "tst_common_dlg.moc"
