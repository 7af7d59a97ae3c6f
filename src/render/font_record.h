#pragma once

#include <QFont>
#include <QString>

#include <functional>
#include <optional>

// The stored font of a drawing panel, member by member. The font a panel draws with is always
// built from this record.
struct FontRecord
{
    int angle = 0; // tenths of a degree, 0 .. 3599
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;
    bool underline = false;
    int emPixels = 0; // character (em) height in pixels
    QString faceName;
    friend bool operator==(const FontRecord &, const FontRecord &) = default;
};

// Asked for a family that is not installed; may install it (the command line loads only the bundled
// font files it needs) and says whether it did.
using FamilyProvider = std::function<bool(const QString &family)>;

// The family a face name is drawn in: the face itself where it is installed, else the first installed
// of the substitutes registered for it (QFont::insertSubstitutions); nothing when none is, and the
// font system then picks. Asking for a missing face, or for a list of families, makes the font system
// rank every installed font at once, which is most of the start-up time; characters the family lacks
// still fall back to other fonts, looked up when needed. Remembered for each face name.
std::optional<QString> installedFamilyFor(const QString &faceName, const FamilyProvider &provide = {});
// Forgets the families remembered, for when the installed fonts have changed.
void forgetInstalledFamilies();

// A missing face is drawn in the first installed of its substitutes (QFont::insertSubstitutions).
// After this call, the characters that one lacks come from the next installed substitutes.
void fillGapsFromSubstitutes(const QString &faceName);

// The face every unusable face name falls back to.
QString defaultFaceName();

// Points to em pixels at `dpi`, rounded to the nearest pixel with halves up; negative points give 0.
int pointsToPixels(qint64 points, double dpi);
// Tenths of a degree brought into 0 .. 3599.
int normalizedAngle(qint64 tenths);
// An empty name, or one of 32 GBK bytes or more, becomes the default face; any other is kept as it is.
QString storedFaceName(const QString &name);

// The record of an existing font (the desktop's default GUI font) at `dpi`.
FontRecord recordOf(const QFont &font, double dpi);
// The font drawn with. An em height of 0 takes `fallbackEmPixels`. Kerning is off: widths are the
// plain sum of advances.
QFont fontFromRecord(const FontRecord &record, int fallbackEmPixels);
