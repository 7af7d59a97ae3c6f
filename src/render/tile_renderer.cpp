#include "render/tile_renderer.h"

#include "app/globals.h"
#include "render/draw_panel.h"
#include "ui/control_registry.h"
#include "ui/main_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>

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

void RenderPreview()
{
    const ControlRef chineseField = mainWindowControl(u"编辑框1");
    const ControlRef englishField = mainWindowControl(u"编辑框2");
    const ControlRef inverted = mainWindowControl(u"选择框1");
    QString held = fieldText(chineseField);
    const qint32 count = TilePanels().count();
    for (qint32 k = 1; k <= count; ++k) {
        DrawPanel *panel = controlAs<DrawPanel>(TilePanels().item(k));
        if (panel == nullptr)
            continue; // the window is gone
        panel->Clear();
        const bool white = isTicked(inverted);
        panel->setTextColor(white ? kWhite : kBlack);
        panel->setBackColor(white ? kBlack : kWhite);
        panel->setFontFaceName(QStringLiteral("宋体"));
        panel->setFontSize(9);
        panel->setFontBold(false);
        panel->WriteAt(5, 5, TileCaptions().item(k));
        const QString tileFace = TileFonts().item(k);
        panel->setFontFaceName(tileFace);
        panel->setFontSize(36);
        panel->setFontBold(false);
        if (k > 4) {
            held = fieldText(englishField);
            panel->setFontSize(28);
            panel->setFontBold(false);
        }
        const double x = (double(panel->Width()) - double(panel->TextWidth(held))) / 2.0;
        const double y = (double(panel->Height()) - double(panel->TextHeight(held))) / 2.0;
        panel->WriteAt(low32(RealToInteger(x)), low32(RealToInteger(y)), held);
        panel->setToolTip(faceDescription(tileFace, panel->drawingFont()));
    }
}
