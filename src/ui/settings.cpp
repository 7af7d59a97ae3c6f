#include "ui/settings.h"

#include <algorithm>
#include <iterator>

namespace {

const QString kFormat = QStringLiteral("export/format");
const QString kScale = QStringLiteral("export/scale");
const QString kBackground = QStringLiteral("export/background");
const QString kInk = QStringLiteral("export/ink"); // "#rrggbb", or "preview"
const QString kTrim = QStringLiteral("export/trim");
const QString kCaption = QStringLiteral("export/caption");
const QString kFolder = QStringLiteral("export/folder");

QString tileKey(int tile, const char *member)
{
    return QStringLiteral("tiles/%1/%2").arg(tile).arg(QLatin1StringView(member));
}

template <typename Enum>
Enum enumValue(const QVariant &value, Enum fallback, Enum last)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok && number >= 0 && number <= static_cast<int>(last) ? static_cast<Enum>(number) : fallback;
}

} // namespace

std::unique_ptr<QSettings> programSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("signature-designer"), QStringLiteral("signature-designer"));
}

ExportOptions loadExportOptions(QSettings &settings)
{
    ExportOptions options;
    options.format = enumValue(settings.value(kFormat), options.format, ExportFormat::Bmp);
    const int scale = settings.value(kScale, options.scale).toInt();
    if (std::find(std::begin(kExportScales), std::end(kExportScales), scale) != std::end(kExportScales))
        options.scale = scale;
    options.background = enumValue(settings.value(kBackground), options.background, ExportBackground::Black);
    const QString ink = settings.value(kInk).toString();
    if (ink == QStringLiteral("preview"))
        options.ink.reset();
    else if (QColor::isValidColorName(ink))
        options.ink = QColor::fromString(ink);
    options.trim = settings.value(kTrim, options.trim).toBool();
    options.withCaption = settings.value(kCaption, options.withCaption).toBool();
    return options;
}

void saveExportOptions(QSettings &settings, const ExportOptions &options)
{
    settings.setValue(kFormat, static_cast<int>(options.format));
    settings.setValue(kScale, options.scale);
    settings.setValue(kBackground, static_cast<int>(options.background));
    settings.setValue(kInk, options.ink ? options.ink->name(QColor::HexRgb) : QStringLiteral("preview"));
    settings.setValue(kTrim, options.trim);
    settings.setValue(kCaption, options.withCaption);
}

QString lastExportFolder(QSettings &settings)
{
    return settings.value(kFolder).toString();
}

void setLastExportFolder(QSettings &settings, const QString &folder)
{
    settings.setValue(kFolder, folder);
}

RememberedTileFace loadTileFace(QSettings &settings, int tile)
{
    return {settings.value(tileKey(tile, "family")).toString(), settings.value(tileKey(tile, "file")).toString(),
            settings.value(tileKey(tile, "shrink"), false).toBool()};
}

void saveTileFace(QSettings &settings, int tile, const RememberedTileFace &face)
{
    settings.setValue(tileKey(tile, "family"), face.family);
    settings.setValue(tileKey(tile, "file"), face.file);
    settings.setValue(tileKey(tile, "shrink"), face.shrinkToFit);
}
