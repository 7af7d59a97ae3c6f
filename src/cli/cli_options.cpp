#include "cli/cli_options.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

namespace {

QCommandLineOption option(const QStringList &names, const char *description, const char *valueName = nullptr)
{
    if (valueName == nullptr)
        return QCommandLineOption(names, QString::fromUtf8(description));
    return QCommandLineOption(names, QString::fromUtf8(description), QString::fromUtf8(valueName));
}

QString name(const char *text)
{
    return QString::fromLatin1(text);
}

void addOptions(QCommandLineParser &parser)
{
    parser.addOptions({
        option({name("h"), name("help")}, "Show this help and exit."),
        option({name("v"), name("version")}, "Show the version and exit."),
        option({name("chinese")}, "The Chinese name, drawn on tiles 1 to 4.", "name"),
        option({name("english")},
               "The romanised name, drawn on tiles 5 and 6; \"auto\" proposes it in pinyin "
               "from the Chinese name (in a batch: for rows without one).",
               "name"),
        option({name("o"), name("output")}, "Write the sheet (or the tile) to FILE; \"-\" writes to standard output.",
               "file"),
        option({name("format")},
               "bmp, png or svg: for standard output and the batch's files (default bmp). A file "
               "name's extension chooses the format by itself.",
               "format"),
        option({name("light")}, "Black on white instead of white on black."),
        option({name("tile")}, "Only tile N (1 to 6) instead of the sheet of six.", "N"),
        option({name("scale")}, "Draw at 1, 2, 4 or 8 times the size (default 1).", "factor"),
        option({name("background")}, "transparent, white or black instead of the preview's background.", "colour"),
        option({name("ink")}, "The colour of the text: a name (navy) or #RRGGBB.", "colour"),
        option({name("trim")}, "Cut the picture to the ink, with a small margin."),
        option({name("no-caption")}, "Leave out the captions in the tiles' corners."),
        option({name("face")}, "Draw tile N in FAMILY, or in the font file FILE. May be given for several tiles.",
               "N=FAMILY-OR-FILE"),
        option({name("batch")},
               "Read names from a UTF-8 CSV file (chinese,english[,file name]); \"-\" reads "
               "standard input. One file is written per row.",
               "names.csv"),
        option({name("output-dir")}, "The folder the batch writes into (made when missing).", "dir"),
        option({name("overwrite")}, "Replace files that already exist (otherwise they are skipped)."),
        option({name("jobs")}, "Draw N rows at once (default: the number of processor cores).", "N"),
        option({name("shard")}, "Take only the rows whose number, counted from 0, is K modulo N.", "K/N"),
    });
}

struct Checker
{
    const QCommandLineParser &parser;
    CliParse &result;

    bool fail(const QString &message)
    {
        if (result.error.isEmpty())
            result.error = message;
        return false;
    }
    // Reads option `key` with `read`; a value it refuses is a usage error naming `expected`.
    template <typename T, typename Read>
    bool read(const char *key, Read readValue, const char *expected, T &into)
    {
        const QString option = name(key);
        if (!parser.isSet(option))
            return true;
        const QString value = parser.value(option);
        const auto parsed = readValue(value);
        if (!parsed)
            return fail(QStringLiteral("--%1 takes %2, not \u201c%3\u201d").arg(option, name(expected), value));
        into = *parsed;
        return true;
    }
};

std::optional<int> parseJobs(const QString &text)
{
    bool ok = false;
    const int jobs = text.toInt(&ok);
    return ok && jobs >= 1 && jobs <= 256 ? std::optional<int>(jobs) : std::nullopt;
}

bool readNames(Checker &check, CliOptions &options)
{
    const QCommandLineParser &parser = check.parser;
    options.chinese = parser.value(name("chinese"));
    options.english = parser.value(name("english"));
    options.englishAuto = options.english == name("auto");
    if (options.englishAuto)
        options.english.clear();
    if (nameLength(options.chinese) > kMaxNameLength || nameLength(options.english) > kMaxNameLength)
        return check.fail(QStringLiteral("a name longer than 1,000 characters"));
    if (!options.batch.isEmpty() && (parser.isSet(name("chinese")) || !options.english.isEmpty()))
        return check.fail(QStringLiteral("--chinese and --english name one sheet; a batch takes its names from "
                                         "the file (only --english auto goes with it)"));
    return true;
}

bool readDrawing(Checker &check, CliOptions &options)
{
    ExportOptions &out = options.exportOptions;
    out = ExportOptions{};
    out.format = ExportFormat::Bmp;
    out.scale = 1;
    out.background = ExportBackground::AsPreview;
    out.ink.reset();
    out.trim = check.parser.isSet(name("trim"));
    out.withCaption = !check.parser.isSet(name("no-caption"));
    options.inverted = !check.parser.isSet(name("light"));
    options.jobs = QThread::idealThreadCount();
    return check.read("tile", &parseTileNumber, "a tile number from 1 to 6", options.tile) &&
           check.read("scale", &parseScale, "1, 2, 4 or 8", out.scale) &&
           check.read("background", &parseBackground, "transparent, white or black", out.background) &&
           check.read("ink", &parseInk, "a colour name or #RRGGBB", out.ink) &&
           check.read("jobs", &parseJobs, "a number of rows from 1 to 256", options.jobs) &&
           check.read("shard", &parseShard, "K/N with 0 <= K < N", options.shard) &&
           check.read("format", &parseFormatName, "bmp, png or svg", out.format);
}

bool readFaces(Checker &check, CliOptions &options)
{
    for (const QString &value : check.parser.values(name("face"))) {
        const std::optional<FaceChoice> choice = parseFaceChoice(value);
        if (!choice)
            return check.fail(
                QStringLiteral("--face takes N=FAMILY-OR-FILE with N from 1 to 6, not \u201c%1\u201d").arg(value));
        options.faces.append(*choice);
    }
    return true;
}

// Where the picture goes: exactly one of a single output and a batch with its folder.
bool readDestination(Checker &check, CliOptions &options)
{
    const QCommandLineParser &parser = check.parser;
    options.output = parser.value(name("output"));
    options.batch = parser.value(name("batch"));
    options.outputDir = parser.value(name("output-dir"));
    options.overwrite = parser.isSet(name("overwrite"));
    const bool single = parser.isSet(name("output")), batch = parser.isSet(name("batch"));
    if (single == batch)
        return check.fail(single ? QStringLiteral("--output and --batch cannot go together")
                                 : QStringLiteral("nothing to write: give --output FILE or --batch FILE"));
    if (single && options.output.isEmpty())
        return check.fail(QStringLiteral("--output needs a file name (or - for standard output)"));
    if (batch && (options.batch.isEmpty() || options.outputDir.isEmpty()))
        return check.fail(QStringLiteral("--batch needs a CSV file and --output-dir DIR"));
    if (single && parser.isSet(name("output-dir")))
        return check.fail(QStringLiteral("--output-dir goes with --batch; --output names the file itself"));
    return true;
}

// A file name's extension chooses the format; --format is for names without one and standard output.
bool readOutputFormat(Checker &check, CliOptions &options)
{
    if (options.output.isEmpty() || options.output == name("-"))
        return true;
    const QString suffix = QFileInfo(options.output).suffix();
    const std::optional<ExportFormat> bySuffix = formatForSuffix(suffix);
    if (bySuffix && check.parser.isSet(name("format")) && *bySuffix != options.exportOptions.format)
        return check.fail(QStringLiteral("--format %1 does not match the file name %2")
                              .arg(check.parser.value(name("format")), options.output));
    if (!bySuffix && !check.parser.isSet(name("format")))
        return check.fail(QStringLiteral("cannot tell the format of %1: name it .bmp, .png or .svg, or give --format")
                              .arg(options.output));
    if (bySuffix)
        options.exportOptions.format = *bySuffix;
    return true;
}

} // namespace

CliParse parseCliArguments(const QStringList &arguments)
{
    CliParse result;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addOptions(parser);
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(name("help")) || parser.isSet(name("version"))) {
        result.action = parser.isSet(name("help")) ? CliAction::Help : CliAction::Version;
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("unexpected argument \u201c%1\u201d").arg(parser.positionalArguments().first());
        return result;
    }
    Checker check{parser, result};
    CliOptions &options = result.options;
    if (readDestination(check, options) && readNames(check, options) && readDrawing(check, options) &&
        readFaces(check, options) && readOutputFormat(check, options))
        result.action = CliAction::Run;
    return result;
}

QString cliUsageText()
{
    return QStringLiteral("Usage: signature-designer --chinese NAME --english NAME -o FILE|- [options]\n"
                          "       signature-designer --batch NAMES.csv --output-dir DIR [options]\n"
                          "Run signature-designer --help for every option.\n");
}

QString cliHelpText()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws the six signature tiles without a window, exactly as the window saves them.\n"
                       "Started without arguments, the program opens its window.\n\n"
                       "  signature-designer --chinese 王羲之 --english \"Wang Xizhi\" -o sheet.bmp\n"
                       "  signature-designer --batch names.csv --output-dir sheets --format png\n\n"
                       "Exit status: 0 when everything was written, 1 when something failed, 2 for a usage error."));
    addOptions(parser);
    return parser.helpText();
}

std::optional<int> parseTileNumber(const QString &text)
{
    bool ok = false;
    const int tile = text.toInt(&ok);
    return ok && tile >= 1 && tile <= 6 ? std::optional<int>(tile) : std::nullopt;
}

std::optional<int> parseScale(const QString &text)
{
    bool ok = false;
    const int scale = text.toInt(&ok);
    for (int allowed : kExportScales) {
        if (ok && scale == allowed)
            return scale;
    }
    return std::nullopt;
}

std::optional<Shard> parseShard(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^(\\d{1,9})/(\\d{1,9})$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int index = match.captured(1).toInt(), count = match.captured(2).toInt();
    if (count < 1 || index >= count)
        return std::nullopt;
    return Shard{index, count};
}

std::optional<QColor> parseInk(const QString &text)
{
    static const QRegularExpression hex(QStringLiteral("^#([0-9A-Fa-f]{3}|[0-9A-Fa-f]{6})$"));
    const bool named = !text.startsWith(QLatin1Char('#')) && QColor::isValidColorName(text);
    if (!named && !hex.match(text).hasMatch())
        return std::nullopt;
    QColor colour = QColor::fromString(text);
    if (!colour.isValid() || colour.alpha() != 255)
        return std::nullopt; // "transparent" is a valid name, but no ink
    return colour;
}

std::optional<ExportBackground> parseBackground(const QString &text)
{
    if (text == name("transparent"))
        return ExportBackground::Transparent;
    if (text == name("white"))
        return ExportBackground::White;
    if (text == name("black"))
        return ExportBackground::Black;
    return std::nullopt;
}

std::optional<FaceChoice> parseFaceChoice(const QString &text)
{
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return std::nullopt;
    const std::optional<int> tile = parseTileNumber(text.left(equals));
    const QString value = text.mid(equals + 1);
    if (!tile || value.trimmed().isEmpty())
        return std::nullopt;
    return FaceChoice{*tile, value};
}

std::optional<ExportFormat> parseFormatName(const QString &text)
{
    return formatForSuffix(text);
}

qsizetype nameLength(const QString &name)
{
    qsizetype characters = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!(name[i].isLowSurrogate() && i > 0 && name[i - 1].isHighSurrogate()))
            ++characters;
    }
    return characters;
}
