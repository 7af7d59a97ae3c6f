#pragma once

#include "export/export_options.h"

#include <QString>

#include <unordered_map>
#include <unordered_set>

// A name that any common file system holds as one file name: path separators, control characters
// and the characters Windows refuses become "_", blanks and dots are taken off the ends (a leading
// dot would hide the file), a name Windows reserves (CON, NUL, COM1 ...) gets "_" after it, and the
// whole is cut to `maxBytes` of UTF-8 at a character boundary. Nothing left gives "_".
QString sanitisedFileName(const QString &name, int maxBytes = 200);

// The file names of a batch, one per row, in row order: the row's own (third column) or its
// Chinese name (else its romanised one), with the format's extension; a name that an earlier row
// already has, in any case, gets "-2", "-3" ... before the extension. The same rows always give
// the same names, whichever rows a shard then writes.
class OutputNamer
{
public:
    explicit OutputNamer(ExportFormat defaultFormat)
        : m_defaultFormat(defaultFormat)
    {}

    struct Named
    {
        QString fileName;
        ExportFormat format = ExportFormat::Bmp;
    };
    // `given` is the third column (empty when there is none).
    Named name(const QString &chinese, const QString &english, const QString &given);

private:
    bool claim(const QString &fileName);

    ExportFormat m_defaultFormat;
    // Names seen, as 64-bit digests of their case-folded text: a row costs a few bytes however long
    // its name, so that lists of millions stay small.
    std::unordered_set<quint64> m_used;
    std::unordered_map<quint64, int> m_nextNumber; // only for names that have collided
};

// Whether `fileName` (no folder) is what the atomic write leaves behind for an output file (.bmp,
// .png or .svg) when it is killed between writing and renaming. Gives the output's name.
QString outputTemporaryTarget(const QString &fileName);
