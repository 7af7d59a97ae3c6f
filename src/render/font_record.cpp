#include "render/font_record.h"

#include "render/gbk.h"

#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

struct ResolvedFamilies
{
    QMutex guard; // the command line draws on several threads at once
    QHash<QString, QStringList> byFace;
    QSet<QString> gapFilling;
};

ResolvedFamilies &resolvedFamilies()
{
    static ResolvedFamilies families;
    return families;
}

// Installed, or made so by `provide`. Each question costs the font system a pass over its rules.
bool installedOrProvided(const QString &family, const FamilyProvider &provide)
{
    if (QFontDatabase::hasFamily(family))
        return true;
    return provide && provide(family) && QFontDatabase::hasFamily(family);
}

// The families a face name is drawn in: the face itself where it is installed, else the first
// installed of the substitutes registered for it (QFont::insertSubstitutions), followed, for a face
// whose substitutes fill each other's gaps, by the other installed ones, which then give the
// characters the first lacks before the font system's own fallbacks do. A font of several families
// costs about half a millisecond more to open, so only those faces get one. Asking for a missing
// face, or for a list of families, makes the font system rank every installed font at once, which is
// most of the start-up time, hence the resolution here. Empty when none is installed.
QStringList resolvedFamiliesFor(const QString &faceName, const FamilyProvider &provide)
{
    ResolvedFamilies &resolved = resolvedFamilies();
    const QMutexLocker lock(&resolved.guard);
    const auto known = resolved.byFace.constFind(faceName);
    if (known != resolved.byFace.constEnd())
        return *known;
    QStringList families;
    if (installedOrProvided(faceName, provide)) {
        families.append(faceName);
    } else {
        const bool all = resolved.gapFilling.contains(faceName);
        for (const QString &name : QFont::substitutes(faceName)) {
            if (installedOrProvided(name, provide))
                families.append(name);
            if (!all && !families.isEmpty())
                break;
        }
    }
    resolved.byFace.insert(faceName, families); // the installed faces do not change while we run
    return families;
}

QStringList familiesFor(const QString &faceName)
{
    const QStringList families = resolvedFamiliesFor(faceName, {});
    return families.isEmpty() ? QStringList{faceName} : families;
}

} // namespace

std::optional<QString> installedFamilyFor(const QString &faceName, const FamilyProvider &provide)
{
    const QStringList families = resolvedFamiliesFor(faceName, provide);
    return families.isEmpty() ? std::nullopt : std::optional<QString>(families.constFirst());
}

void forgetInstalledFamilies()
{
    ResolvedFamilies &resolved = resolvedFamilies();
    const QMutexLocker lock(&resolved.guard);
    resolved.byFace.clear();
}

void fillGapsFromSubstitutes(const QString &faceName)
{
    ResolvedFamilies &resolved = resolvedFamilies();
    const QMutexLocker lock(&resolved.guard);
    resolved.gapFilling.insert(faceName);
    resolved.byFace.remove(faceName);
}

QString defaultFaceName()
{
    return QStringLiteral("宋体");
}

int pointsToPixels(qint64 points, double dpi)
{
    if (points <= 0)
        return 0;
    const double pixels = std::floor(static_cast<double>(points) * dpi / 72.0 + 0.5);
    return static_cast<int>(std::min(pixels, static_cast<double>(INT_MAX)));
}

int normalizedAngle(qint64 tenths)
{
    qint64 angle = tenths % 3600;
    if (angle < 0)
        angle += 3600;
    return static_cast<int>(angle);
}

QString storedFaceName(const QString &name)
{
    if (name.isEmpty() || gbkByteLength(name) >= 32)
        return defaultFaceName();
    return name;
}

FontRecord recordOf(const QFont &font, double dpi)
{
    FontRecord record;
    record.bold = font.weight() >= QFont::Bold;
    record.italic = font.italic();
    record.strikeOut = font.strikeOut();
    record.underline = font.underline();
    record.emPixels =
        font.pixelSize() > 0 ? font.pixelSize() : static_cast<int>(std::lround(font.pointSizeF() * dpi / 72.0));
    record.faceName = font.family();
    return record;
}

QFont fontFromRecord(const FontRecord &record, int fallbackEmPixels)
{
    const QStringList families = familiesFor(record.faceName);
    QFont font(families.constFirst());
    if (families.size() > 1)
        font.setFamilies(families);
    font.setPixelSize(std::max(1, record.emPixels > 0 ? record.emPixels : fallbackEmPixels));
    font.setWeight(record.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(record.italic);
    font.setStrikeOut(record.strikeOut);
    font.setUnderline(record.underline);
    font.setKerning(false);
    // Named, not left to the default: at a screen scale factor other than 1 the toolkit would drop
    // hinting, and the same tile would come out with other pixels. Slight (vertical) hinting is the
    // desktop's usual setting and what the tiles have always been drawn with.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}
