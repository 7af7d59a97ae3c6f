#include "render/tile_renderer.h"

#include "render/draw_surface.h"
#include "render/font_record.h"
#include "render/real_to_integer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>

namespace {

QString face(const char *name)
{
    return QString::fromLatin1(name);
}

// The folder named by SIGNATURE_FONTS_DIR alone when it is set (tests use it to play a broken
// install); else the installed copy first, then the source tree the program was built from.
QStringList fontFolders()
{
    const QString forced = qEnvironmentVariable("SIGNATURE_FONTS_DIR");
    if (!forced.isEmpty())
        return {forced};
    const QString appDir = QCoreApplication::applicationDirPath();
    return {QDir(appDir).filePath(QStringLiteral(SIGNATURE_FONTS_FROM_BIN)), QStringLiteral(SIGNATURE_FONTS_BUILD_DIR)};
}

// The first folder that holds any of the bundled files, or the first folder.
QDir bundledFolder(const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QDir dir(folder);
        for (const BundledFace &bundled : bundledFaces())
            if (dir.exists(face(bundled.file)))
                return dir;
    }
    return QDir(folders.constFirst());
}

QStringList &missingFiles()
{
    static QStringList missing;
    return missing;
}

// Said once however often the faces are installed: a broken install is one fact, not one per call.
void reportMissingFiles(const QStringList &missing, const QStringList &folders)
{
    static bool reported = false;
    if (missing.isEmpty() || reported)
        return;
    reported = true;
    const QString text = QStringLiteral("签名设计：找不到随程序附带的字体文件 %1（查找位置：%2），"
                                        "用到它们的签名改用其他字体。\n")
                             .arg(missing.join(QStringLiteral("、")), folders.join(QStringLiteral("、")));
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// The bundled file of the face meant to stand in for `requested`, if that is one.
QString standInFile(const QString &requested)
{
    for (const FaceSubstitution &entry : faceSubstitutions()) {
        if (requested != QString::fromUtf16(entry.requested) || entry.substitutes.isEmpty())
            continue;
        for (const BundledFace &bundled : bundledFaces())
            if (entry.substitutes.constFirst() == face(bundled.family))
                return face(bundled.file);
    }
    return {};
}

// Sets the largest point size, at most `points`, at which `name` is no wider than `room` pixels (1 point
// when none is). Widths grow about in proportion to the size, so the first guess is nearly right and a
// long name costs a few measurements, not one per point.
void shrinkToFit(TileCanvas &canvas, const QString &name, qint64 points, double room)
{
    const auto fits = [&](qint64 size) {
        canvas.setFontSize(size);
        return double(canvas.TextWidth(name)) <= room;
    };
    const int width = canvas.TextWidth(name);
    if (double(width) <= room)
        return;
    qint64 size = std::clamp(qint64(double(points) * std::max(room, 0.0) / double(width)), qint64(1), points);
    while (size > 1 && !fits(size))
        --size;
    while (size < points && fits(size + 1))
        ++size;
    canvas.setFontSize(size);
}

} // namespace

std::span<const FaceSubstitution> faceSubstitutions()
{
    // No free seal-script face exists; ZCOOL XiaoWei's engraved, antique strokes stand closest. The
    // hard-pen running hand has its own free face in Long Cang, whose few missing rare characters
    // come from the next cursive faces rather than from a body-text face. The caption's Song face is
    // a serif that is already loaded for the desktop: at 9 points it reads as the Song it stands for.
    static const std::array<FaceSubstitution, 7> table = {{
        {u"方正小篆体", {face("ZCOOL XiaoWei"), face("Noto Serif CJK SC"), face("AR PL UMing CN")}},
        {u"方正黄草简体", {face("Liu Jian Mao Cao"), face("Zhi Mang Xing")}},
        {u"方正硬笔行书简体",
         {face("Long Cang"), face("Zhi Mang Xing"), face("Ma Shan Zheng"), face("LXGW WenKai"), face("AR PL UKai CN")},
         true},
        {u"叶根友签名体", {face("Zhi Mang Xing"), face("Liu Jian Mao Cao")}},
        {u"华文行楷", {face("Great Vibes"), face("Dancing Script")}},
        {u"华文隶书", {face("Dancing Script"), face("Great Vibes")}},
        {u"宋体", {face("Noto Serif CJK SC"), face("AR PL UMing CN"), face("Noto Sans CJK SC")}},
    }};
    return table;
}

std::span<const BundledFace> bundledFaces()
{
    static constexpr std::array<BundledFace, 7> files = {{
        {"ZCOOL XiaoWei", "ZCOOLXiaoWei-Regular.ttf"},
        {"Liu Jian Mao Cao", "LiuJianMaoCao-Regular.ttf"},
        {"Long Cang", "LongCang-Regular.ttf"},
        {"Zhi Mang Xing", "ZhiMangXing-Regular.ttf"},
        {"Ma Shan Zheng", "MaShanZheng-Regular.ttf"},
        {"Great Vibes", "GreatVibes-Regular.ttf"},
        {"Dancing Script", "DancingScript-Regular.ttf"},
    }};
    return files;
}

QStringList bundledFontFiles()
{
    const QDir dir = bundledFolder(fontFolders());
    QStringList files;
    for (const BundledFace &bundled : bundledFaces())
        if (dir.exists(face(bundled.file)))
            files.append(dir.filePath(face(bundled.file)));
    return files;
}

void installFaceSubstitutions()
{
    for (const FaceSubstitution &entry : faceSubstitutions()) {
        QFont::insertSubstitutions(QString::fromUtf16(entry.requested), entry.substitutes);
        if (entry.fillGaps)
            fillGapsFromSubstitutes(QString::fromUtf16(entry.requested));
    }
}

int installTileFaces()
{
    const QStringList folders = fontFolders();
    const QDir dir = bundledFolder(folders);
    int loaded = 0;
    QStringList missing;
    for (const BundledFace &bundled : bundledFaces()) {
        const QString file = face(bundled.file);
        if (dir.exists(file) && QFontDatabase::addApplicationFont(dir.filePath(file)) >= 0)
            ++loaded;
        else
            missing.append(file);
    }
    installFaceSubstitutions();
    missingFiles() = missing;
    reportMissingFiles(missing, folders);
    return loaded;
}

const QStringList &missingBundledFiles()
{
    return missingFiles();
}

QString faceDescription(const QString &requested, const QFont &font)
{
    const QString drawn = QFontInfo(font).family();
    if (drawn.compare(requested, Qt::CaseInsensitive) == 0)
        return requested;
    QString description = requested + QStringLiteral(" → ") + drawn;
    const QString file = missingFiles().isEmpty() ? QString() : standInFile(requested);
    if (!file.isEmpty() && missingFiles().contains(file))
        description += QStringLiteral("（缺少字体文件 %1）").arg(file);
    return description;
}

TileJob tileJob(int k, const QString &caption, const QString &face, const QString &chinese, const QString &english)
{
    return TileJob{caption, face, k > 4 ? english : chinese, k > 4, true, false};
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
    if (job.shrinkToFit)
        shrinkToFit(canvas, job.name, job.english ? 28 : 36, double(canvas.Width()) - 8.0 * scale);
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
