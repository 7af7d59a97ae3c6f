#include "render/font_record.h"

#include "render/gbk.h"

#include <QFontDatabase>
#include <QHash>
#include <QMutex>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

struct ResolvedFamilies
{
    QMutex guard; // the command line draws on several threads at once
    QHash<QString, std::optional<QString>> byFace;
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

QString familyFor(const QString &faceName)
{
    return installedFamilyFor(faceName).value_or(faceName);
}

} // namespace

std::optional<QString> installedFamilyFor(const QString &faceName, const FamilyProvider &provide)
{
    ResolvedFamilies &families = resolvedFamilies();
    const QMutexLocker lock(&families.guard);
    const auto known = families.byFace.constFind(faceName);
    if (known != families.byFace.constEnd())
        return *known;
    std::optional<QString> family;
    const QStringList candidates = QStringList{faceName} + QFont::substitutes(faceName);
    const auto installed = std::find_if(candidates.begin(), candidates.end(),
                                        [&provide](const QString &name) { return installedOrProvided(name, provide); });
    if (installed != candidates.end())
        family = *installed;
    families.byFace.insert(faceName, family); // the installed faces do not change while we run
    return family;
}

void forgetInstalledFamilies()
{
    ResolvedFamilies &families = resolvedFamilies();
    const QMutexLocker lock(&families.guard);
    families.byFace.clear();
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
    QFont font(familyFor(record.faceName));
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
