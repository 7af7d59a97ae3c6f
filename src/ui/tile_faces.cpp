#include "ui/tile_faces.h"

#include "app/globals.h"
#include "render/font_file.h"
#include "ui/settings.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QHash>
#include <QStandardPaths>

namespace {

QHash<int, bool> &shrinkTicks()
{
    static QHash<int, bool> ticks;
    return ticks;
}

bool usable(const RememberedTileFace &face)
{
    if (face.file.isEmpty())
        return QFontDatabase::hasFamily(face.family);
    return QFileInfo(face.file).isFile() && loadFontFile(face.file).contains(face.family);
}

void remember(int tile, const QString &family, const QString &file)
{
    const std::unique_ptr<QSettings> settings = programSettings();
    RememberedTileFace face = loadTileFace(*settings, tile);
    face.family = family;
    face.file = file;
    saveTileFace(*settings, tile, face);
}

} // namespace

QString fontDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/fonts");
}

void applyRememberedTileFaces()
{
    shrinkTicks().clear();
    const std::unique_ptr<QSettings> settings = programSettings();
    for (qint32 k = 1; k <= TileFonts().count(); ++k) {
        const RememberedTileFace face = loadTileFace(*settings, k);
        if (face.shrinkToFit)
            shrinkTicks().insert(k, true);
        if (!face.family.isEmpty() && usable(face))
            TileFonts().setItem(k, face.family);
    }
}

void setTileFace(int tile, const QString &family, const QString &file)
{
    TileFonts().setItem(tile, family);
    remember(tile, family, file);
}

void restoreTileFace(int tile)
{
    checkItemIndex(tile, qint64(DefaultTileFonts.size()));
    TileFonts().setItem(tile, copyText(DefaultTileFonts.at(std::size_t(tile - 1))));
    remember(tile, {}, {});
}

bool tileShrinksToFit(int tile)
{
    return shrinkTicks().value(tile, false);
}

void setTileShrinksToFit(int tile, bool on)
{
    shrinkTicks().insert(tile, on);
    const std::unique_ptr<QSettings> settings = programSettings();
    RememberedTileFace face = loadTileFace(*settings, tile);
    face.shrinkToFit = on;
    saveTileFace(*settings, tile, face);
}
