#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

// One run of the real program with arguments, as a user's shell would start it.
struct CliRun
{
    int status = -1; // the exit status; -1 when it crashed or hung
    QByteArray out;
    QString err;
    QStringList errLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

inline CliRun runCli(const QStringList &arguments, const QString &folder = QDir::currentPath(),
                     const QByteArray &input = {})
{
    QProcess program;
    program.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The command line needs no display, and must not use one that happens to be there.
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(SIGNATURE_PROGRAM), arguments);
    CliRun run;
    if (!program.waitForStarted(30000))
        return run;
    program.write(input);
    program.closeWriteChannel();
    if (!program.waitForFinished(240000))
        program.kill();
    run.out = program.readAllStandardOutput();
    run.err = QString::fromUtf8(program.readAllStandardError());
    if (program.exitStatus() == QProcess::NormalExit)
        run.status = program.exitCode();
    return run;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot,
                                  QDir::Name);
}
