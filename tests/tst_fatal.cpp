#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

// The fatal report ends the process, so the real program runs as a child (fatal_probe).
class TestFatal : public QObject
{
    Q_OBJECT

    static QStringList runProbe(const QString &mode, int *status)
    {
        QProcess probe;
        probe.start(QStringLiteral(FATAL_PROBE), {mode});
        if (!probe.waitForFinished(60000))
            return {};
        *status = probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -1000;
        return QString::fromUtf8(probe.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void shouldEndWithTheBoxAndStatus255_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("running");
        QTest::newRow("item 0") << QStringLiteral("item0")
                                << QStringLiteral("运行时出错!\r\n\r\n错误代码：4\r\n\r\n"
                                                  "错误信息：数组成员引用下标必须大于等于1\r\n")
                                << true;
        QTest::newRow("item 7") << QStringLiteral("item7")
                                << QStringLiteral("运行时出错!\r\n\r\n错误代码：1\r\n\r\n"
                                                  "错误信息：数组成员引用下标超出定义范围\r\n")
                                << true;
#ifndef __SANITIZE_ADDRESS__ // the sanitizer's own memory cannot live under a capped address space
        // The size is whatever doubling failed: a whole number of list items, over 64 MiB.
        QTest::newRow("exhausted memory: no code line, the bytes asked for")
            << QStringLiteral("oom") << QStringLiteral("运行时出错!\r\n\r\n错误信息：分配 N 字节内存失败!\r\n") << true;
        // Elsewhere the size is not known where the failure arrives.
        const QString unsized = QStringLiteral("运行时出错!\r\n\r\n错误信息：分配内存失败!\r\n");
        QTest::newRow("exhausted memory in an event handler") << QStringLiteral("oom-event") << unsized << true;
        QTest::newRow("exhausted memory during start-up") << QStringLiteral("oom-start") << unsized << false;
#endif
    }
    void shouldEndWithTheBoxAndStatus255()
    {
        QFETCH(QString, mode);
        QFETCH(QString, text);
        QFETCH(bool, running);
        int status = 0;
        const QStringList lines = runProbe(mode, &status);
        QCOMPARE(status, 255);
        QVERIFY2(lines.contains(QStringLiteral("running: 6 tiles")) == running,
                 qPrintable(lines.join(QLatin1Char('|'))));
        QVERIFY(lines.filter(QStringLiteral("allocated")).isEmpty());
        QVERIFY(lines.contains(QStringLiteral("title: 错误")));
        QString shown = QUrl::fromPercentEncoding(lines.filter(QStringLiteral("text: ")).value(0).mid(6).toUtf8());
        if (text.contains(QStringLiteral(" N "))) {
            const QRegularExpressionMatch bytes = QRegularExpression(QStringLiteral(" (\\d+) ")).match(shown);
            QVERIFY2(bytes.hasMatch(), qPrintable(shown));
            const qint64 asked = bytes.captured(1).toLongLong();
            QVERIFY(asked > (qint64(64) << 20) && asked % qint64(sizeof(QString)) == 0);
            shown.replace(bytes.capturedStart(1), bytes.capturedLength(1), QStringLiteral("N"));
        }
        QCOMPARE(shown, text);
        // No exit handler ran at all, so neither did the release of the lists.
        QVERIFY(lines.filter(QStringLiteral("exit:")).isEmpty());
    }

    void shouldReleaseTheListsAndEndWithZeroWhenClosed()
    {
        int status = -1;
        const QStringList lines = runProbe(QStringLiteral("close"), &status);
        QCOMPARE(status, 0);
        QVERIFY(lines.filter(QStringLiteral("title:")).isEmpty());
        QCOMPARE(lines.filter(QStringLiteral("exit:")), QStringList{QStringLiteral("exit: lists released")});
    }
};

QTEST_GUILESS_MAIN(TestFatal)
#include "tst_fatal.moc"
