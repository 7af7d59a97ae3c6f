#pragma once

#include "export/export_options.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Every K-th row of N: the rows whose number (counted from 0) is K modulo N.
struct Shard
{
    int index = 0;
    int count = 1;
    bool takes(qint64 rowNumber) const { return rowNumber % count == index; }
};

// A tile's face chosen on the command line: a family name or a font file.
struct FaceChoice
{
    int tile = 1; // 1 .. 6
    QString familyOrFile;
};

// What the command line asked for, checked and complete.
struct CliOptions
{
    QString chinese;
    QString english;
    bool englishAuto = false; // --english auto: the pinyin proposal of the Chinese name
    QString output;           // a file, or "-" for standard output (one sheet or tile)
    QString batch;            // a CSV file, or "-" for standard input
    QString outputDir;
    bool inverted = true; // white on black, as the window starts; --light turns it off
    int tile = 0;         // 1 .. 6 for one tile, 0 for the sheet
    ExportOptions exportOptions;
    QList<FaceChoice> faces;
    bool overwrite = false;
    int jobs = 1;
    Shard shard;
};

enum class CliAction { Run, Help, Version, UsageError };

struct CliParse
{
    CliAction action = CliAction::UsageError;
    CliOptions options;
    QString error; // one line, for a usage error
};

inline constexpr int kMaxNameLength = 1000; // characters (code points) in a name

// Reads the arguments (the program's name first). Touches no application object.
CliParse parseCliArguments(const QStringList &arguments);

// The short usage shown after a usage error, and the full --help text (this one needs a
// QCoreApplication, as the parser takes the program's name from it).
QString cliUsageText();
QString cliHelpText();

// The pieces of the parser, each returning nothing for a value it does not accept.
std::optional<int> parseTileNumber(const QString &text);
std::optional<int> parseScale(const QString &text);
std::optional<Shard> parseShard(const QString &text);
std::optional<QColor> parseInk(const QString &text);
std::optional<ExportBackground> parseBackground(const QString &text);
std::optional<FaceChoice> parseFaceChoice(const QString &text);
std::optional<ExportFormat> parseFormatName(const QString &text);
// Characters, not UTF-16 units: a character outside the BMP counts once.
qsizetype nameLength(const QString &name);
