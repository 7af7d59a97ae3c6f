#include "render/font_record.h"

#include "render/gbk.h"

#include <QFontDatabase>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

QSet<QString> &gapFillingFaces()
{
    static QSet<QString> faces;
    return faces;
}

// The families a face name is drawn in: the face itself where it is installed, else the first
// installed of the substitutes registered for it (QFont::insertSubstitutions), followed, for a face
// whose substitutes fill each other's gaps, by the other installed ones, which then give the
// characters the first lacks before the font system's own fallbacks do. A font of several families
// costs about half a millisecond more to open, so only those faces get one. Asking for a missing
// face, or for a list of families, makes the font system rank every installed font at once, which is
// most of the start-up time, hence the resolution here.
QStringList familiesFor(const QString &faceName)
{
    static QHash<QString, QStringList> resolved; // the installed faces do not change while we run
    const auto known = resolved.constFind(faceName);
    if (known != resolved.constEnd())
        return *known;
    QStringList families;
    if (!QFontDatabase::hasFamily(faceName)) {
        const QStringList substitutes = QFont::substitutes(faceName);
        const bool all = gapFillingFaces().contains(faceName);
        for (const QString &name : substitutes) {
            if (QFontDatabase::hasFamily(name))
                families.append(name);
            if (!all && !families.isEmpty())
                break;
        }
    }
    if (families.isEmpty())
        families.append(faceName);
    resolved.insert(faceName, families);
    return families;
}

} // namespace

void fillGapsFromSubstitutes(const QString &faceName)
{
    gapFillingFaces().insert(faceName);
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
