#include "render/tile_renderer.h"

#include "render/draw_surface.h"
#include "render/real_to_integer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

namespace {

QString face(const char *name)
{
    return QString::fromLatin1(name);
}

// The installed copy first, then the source tree the program was built from.
QStringList fontFolders()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    return {QDir(appDir).filePath(QStringLiteral(SIGNATURE_FONTS_FROM_BIN)), QStringLiteral(SIGNATURE_FONTS_BUILD_DIR)};
}

} // namespace

std::span<const FaceSubstitution> faceSubstitutions()
{
    // Seal script has no free face; a formal serif stands closest. The caption's Song face is the same
    // serif: one face fewer to load at start-up, and at 9 points it reads as the Song it stands for.
    static const std::array<FaceSubstitution, 7> table = {{
        {u"方正小篆体", {face("Noto Serif CJK SC"), face("AR PL UMing CN"), face("Ma Shan Zheng")}},
        {u"方正黄草简体", {face("Liu Jian Mao Cao"), face("Zhi Mang Xing")}},
        {u"方正硬笔行书简体", {face("LXGW WenKai"), face("Ma Shan Zheng"), face("AR PL UKai CN")}},
        {u"叶根友签名体", {face("Zhi Mang Xing"), face("Liu Jian Mao Cao")}},
        {u"华文行楷", {face("Great Vibes"), face("Dancing Script")}},
        {u"华文隶书", {face("Dancing Script"), face("Great Vibes")}},
        {u"宋体", {face("Noto Serif CJK SC"), face("AR PL UMing CN"), face("Noto Sans CJK SC")}},
    }};
    return table;
}

int installTileFaces()
{
    int loaded = 0;
    for (const QString &folder : fontFolders()) {
        const QDir dir(folder);
        const QStringList files = dir.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.otf")}, QDir::Files);
        for (const QString &file : files)
            loaded += QFontDatabase::addApplicationFont(dir.filePath(file)) >= 0 ? 1 : 0;
        if (loaded > 0)
            break;
    }
    for (const FaceSubstitution &entry : faceSubstitutions())
        QFont::insertSubstitutions(QString::fromUtf16(entry.requested), entry.substitutes);
    return loaded;
}

QString faceDescription(const QString &requested, const QFont &font)
{
    const QString drawn = QFontInfo(font).family();
    if (drawn.compare(requested, Qt::CaseInsensitive) == 0)
        return requested;
    return requested + QStringLiteral(" → ") + drawn;
}

TileJob tileJob(int k, const QString &caption, const QString &face, const QString &chinese, const QString &english)
{
    return TileJob{caption, face, k > 4 ? english : chinese, k > 4, true};
}

void RenderTile(TileCanvas &canvas, const TileJob &job, bool inverted, double scale)
{
    canvas.Clear();
    canvas.setTextColor(inverted ? kWhite : kBlack);
    canvas.setBackColor(inverted ? kBlack : kWhite);
    canvas.setFontFaceName(QStringLiteral("宋体"));
    canvas.setFontSize(9);
    canvas.setFontBold(false);
    if (job.withCaption) {
        const int corner = qRound(5 * scale);
        canvas.WriteAt(corner, corner, job.caption);
    }
    canvas.setFontFaceName(job.face);
    canvas.setFontSize(36);
    canvas.setFontBold(false);
    if (job.english) {
        canvas.setFontSize(28);
        canvas.setFontBold(false);
    }
    // Centred as at scale 1 and then multiplied, so that a larger copy is the tile enlarged: the
    // half pixel that truncation drops at scale 1 is dropped at every scale.
    const double x = (double(canvas.Width()) - double(canvas.TextWidth(job.name))) / scale / 2.0;
    const double y = (double(canvas.Height()) - double(canvas.TextHeight(job.name))) / scale / 2.0;
    canvas.WriteAt(low32(RealToInteger(double(RealToInteger(x)) * scale)),
                   low32(RealToInteger(double(RealToInteger(y)) * scale)), job.name);
}

QSize scaledTileSize(double scale)
{
    return QSize(qRound(kTileSize.width() * scale), qRound(kTileSize.height() * scale)).expandedTo(QSize(1, 1));
}

QImage renderTileRaster(const TileJob &job, bool inverted, double scale, double baseDpi)
{
    // Made in the scheme's background, so that setting it is no change and the raster is made once.
    DrawSurface surface(scaledTileSize(scale), inverted ? kBlack : kWhite, baseDpi * scale, Qt::white,
                        QGuiApplication::font());
    RenderTile(surface, job, inverted, scale);
    return surface.raster();
}
