#include "render/font_record.h"

#include "render/gbk.h"

#include <QFontDatabase>
#include <QHash>
#include <QMutex>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// The family a face name is drawn in: the face itself where it is installed, else the first installed
// of the substitutes registered for it (QFont::insertSubstitutions). Asking for a missing face, or for
// a list of families, makes the font system rank every installed font at once, which is most of the
// start-up time; characters the family lacks still fall back to other fonts, looked up when needed.
// The command line draws tiles on several threads at once, so the cache is guarded.
QString familyFor(const QString &faceName)
{
    static QMutex guard;
    const QMutexLocker lock(&guard);
    static QHash<QString, QString> resolved; // the installed faces do not change while we run
    const auto known = resolved.constFind(faceName);
    if (known != resolved.constEnd())
        return *known;
    QString family = faceName;
    if (!QFontDatabase::hasFamily(faceName)) {
        const QStringList substitutes = QFont::substitutes(faceName);
        const auto installed = std::find_if(substitutes.begin(), substitutes.end(),
                                            [](const QString &name) { return QFontDatabase::hasFamily(name); });
        if (installed != substitutes.end())
            family = *installed;
    }
    resolved.insert(faceName, family);
    return family;
}

} // namespace

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
