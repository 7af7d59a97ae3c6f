#pragma once

#include <QRawFont>
#include <QString>
#include <QStringList>

// Font files the user brings, and which installed families can draw a given name.

// Whether `font` has a glyph of its own for every character of `text` (white space aside).
bool coversText(const QRawFont &font, const QString &text);
// The installed families whose own glyphs draw every character of `text`, in the font system's order.
// Opens every installed family: call it when the list is wanted, never at start-up.
QStringList familiesCovering(const QString &text);

// Registers a font file with the font system once per run; the families it holds (empty when it is
// not a font the font system can load).
QStringList loadFontFile(const QString &path);
// The file loadFontFile registered `family` from, or empty.
QString fontFileHolding(const QString &family);

// Larger font files are refused before they are read: a font for a handful of names is far smaller.
inline constexpr qint64 kMaxFontFileBytes = 64LL * 1024 * 1024;

struct AddedFont
{
    QString family;
    QString path;  // the program's own copy
    QString error; // empty when the font was added
};

// Checks that `source` is a font file of at most kMaxFontFileBytes with glyphs for every character
// of `text`, copies it into `folder` (made when missing) through a temporary file that is renamed into
// place, and registers the copy. On any failure `error` says why and `folder` is left as it was.
AddedFont addFontFile(const QString &source, const QString &text, const QString &folder);
