#include "app/program_main.h"

#include <QProcess>
#include <QTest>

#include <initializer_list>
#include <vector>

// Start-up outside a desktop: the program must say that it needs a display, not abort.
class TestProgramMain : public QObject
{
    Q_OBJECT

    static QProcessEnvironment withoutDisplay()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        return environment;
    }

private Q_SLOTS:
    void shouldTellWhetherAWindowCanBeShown_data()
    {
        QTest::addColumn<QStringList>("variables"); // NAME=value, set after all three are cleared
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("expected");
        QTest::newRow("nothing") << QStringList() << QStringList() << false;
        QTest::newRow("empty DISPLAY") << QStringList{QStringLiteral("DISPLAY=")} << QStringList() << false;
        QTest::newRow("X display") << QStringList{QStringLiteral("DISPLAY=:0")} << QStringList() << true;
        QTest::newRow("Wayland display") << QStringList{QStringLiteral("WAYLAND_DISPLAY=wayland-0")} << QStringList()
                                         << true;
        QTest::newRow("platform forced by the environment")
            << QStringList{QStringLiteral("QT_QPA_PLATFORM=offscreen")} << QStringList() << true;
        QTest::newRow("platform forced by an argument")
            << QStringList() << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen")} << true;
        QTest::newRow("platform argument with two dashes")
            << QStringList() << QStringList{QStringLiteral("--platform"), QStringLiteral("offscreen")} << true;
        QTest::newRow("platform argument without a name")
            << QStringList() << QStringList{QStringLiteral("-platform")} << false;
    }
    void shouldTellWhetherAWindowCanBeShown()
    {
        QFETCH(QStringList, variables);
        QFETCH(QStringList, arguments);
        QFETCH(bool, expected);
        const QByteArray kept[] = {qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            qunsetenv(name);
        for (const QString &variable : variables)
            qputenv(variable.section(QLatin1Char('='), 0, 0).toLatin1().constData(),
                    variable.section(QLatin1Char('='), 1).toUtf8());
        std::vector<QByteArray> storage{QByteArray("signature-designer")};
        for (const QString &argument : arguments)
            storage.push_back(argument.toUtf8());
        std::vector<char *> argv;
        for (QByteArray &argument : storage)
            argv.push_back(argument.data());
        argv.push_back(nullptr);

        const bool seen = hasDisplayFor(int(storage.size()), argv.data());

        int i = 0;
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            const QByteArray &value = kept[i++];
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
        }
        QCOMPARE(seen, expected);
    }

    void shouldSayADisplayIsNeededAndEndWithStatus1()
    {
        QProcess program;
        program.setProcessEnvironment(withoutDisplay());
        program.start(QStringLiteral(SIGNATURE_PROGRAM), QStringList());
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(program.readAllStandardOutput().isEmpty());
        const QString said = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(said.count(QLatin1Char('\n')) == 1 && said.endsWith(QLatin1Char('\n')), qPrintable(said));
        QVERIFY(said.startsWith(QStringLiteral("需要图形显示")));
        QVERIFY(said.contains(QStringLiteral("A graphical display is needed")));
        QVERIFY(said.contains(QStringLiteral("xvfb-run")));
        QVERIFY(said.contains(QStringLiteral("QT_QPA_PLATFORM=offscreen")));
    }
};

QTEST_GUILESS_MAIN(TestProgramMain)
#include "tst_program_main.moc"
