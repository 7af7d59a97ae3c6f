#include "cli/command_line.h"

#include "cli/batch_run.h"
#include "cli/cli_faces.h"
#include "cli/cli_options.h"
#include "cli/single_output.h"
#include "render/tile_renderer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringDecoder>

#include <cstdio>

namespace {

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

// Strictly UTF-8, so that a mangled name is refused instead of drawn with replacement marks.
bool decodeArguments(int argc, char **argv, QStringList &arguments)
{
    for (int i = 0; i < argc; ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        arguments.append(decoder.decode(QByteArrayView(argv[i])));
        if (decoder.hasError())
            return false;
    }
    return true;
}

// The command line's standard error carries its own lines only: the toolkit's notes (a missing
// runtime folder, say) would read as the program's.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        print(stderr, message + QLatin1Char('\n'));
}

int usageError(const QString &message)
{
    print(stderr, QStringLiteral("signature-designer: %1\n").arg(message) + cliUsageText());
    return 2;
}

int showHelpOrVersion(CliAction action, int argc, char **argv)
{
    QCoreApplication application(argc, argv); // the parser takes the program's name from it
    if (action == CliAction::Version)
        print(stdout, QStringLiteral("signature-designer %1\n").arg(QStringLiteral(SIGNATURE_VERSION)));
    else
        print(stdout, cliHelpText());
    return 0;
}

int run(const CliOptions &options)
{
    if (!options.batch.isEmpty()) {
        installTileFaces(); // a batch draws every face: loaded as the window loads them
        const TileFaces faces = chooseTileFaces(options.faces);
        return faces.error.isEmpty() ? runBatch(options, faces.faces) : usageError(faces.error);
    }
    const TileFaces faces = chooseTileFaces(options.faces);
    return faces.error.isEmpty() ? runSingleOutput(options, faces.faces) : usageError(faces.error);
}

} // namespace

int runCommandLine(int argc, char **argv)
{
    QStringList arguments;
    if (!decodeArguments(argc, argv, arguments))
        return usageError(QStringLiteral("an argument is not valid UTF-8"));
    const CliParse parsed = parseCliArguments(arguments);
    if (parsed.action == CliAction::UsageError)
        return usageError(parsed.error);
    if (parsed.action != CliAction::Run)
        return showHelpOrVersion(parsed.action, argc, argv);
    qInstallMessageHandler(&quietMessages);
    // Set before the application object exists: no display is needed, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int applicationArgc = 1; // every argument is read above; the toolkit takes none of them
    QGuiApplication application(applicationArgc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("signature-designer"));
    return run(parsed.options);
}
