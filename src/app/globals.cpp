#include "app/globals.h"

#include "ui/control_table.h"
#include "ui/preview.h"
#include "ui/tile_faces.h"

#include <cmath>
#include <memory>

namespace {

std::unique_ptr<TileList<ControlRef>> g_panels;
std::unique_ptr<TileList<TileText>> g_captions;
std::unique_ptr<TileList<TileText>> g_fonts;

template <typename List>
List &existing(const std::unique_ptr<List> &list)
{
    Q_ASSERT_X(list != nullptr, "tile lists", "used outside InitGlobals .. FreeGlobals");
    return *list;
}

std::unique_ptr<TileList<TileText>> copyOf(const std::array<const char16_t *, 6> &constants)
{
    auto list = std::make_unique<TileList<TileText>>();
    for (const char16_t *text : constants)
        list->append(copyText(text));
    return list;
}

const char16_t kEnglishCaption[] = u"英文签";

} // namespace

const std::array<const char16_t *, 6> DefaultTileFonts = {
    u"方正小篆体", u"方正黄草简体", u"方正硬笔行书简体", u"叶根友签名体", u"华文行楷", u"华文隶书",
};
const std::array<const char16_t *, 6> DefaultTileCaptions = {
    u"篆体签", u"草书签", u"行书签", u"艺术签", kEnglishCaption, kEnglishCaption,
};

void checkItemIndex(qint64 index, qint64 count)
{
    if (index < 1)
        FatalRuntimeError(4, QStringLiteral("数组成员引用下标必须大于等于1"));
    if (index > count)
        FatalRuntimeError(1, QStringLiteral("数组成员引用下标超出定义范围"));
}

TileList<ControlRef> &TilePanels()
{
    return existing(g_panels);
}
TileList<TileText> &TileFonts()
{
    return existing(g_fonts);
}
TileList<TileText> &TileCaptions()
{
    return existing(g_captions);
}

TileText copyText(const char16_t *text)
{
    if (text == nullptr)
        return {};
    const auto length = static_cast<qsizetype>(std::char_traits<char16_t>::length(text));
    try {
        // Built from the characters, so the copy never shares storage with the constant.
        return QString(reinterpret_cast<const QChar *>(text), length);
    } catch (const std::bad_alloc &) {
        FatalRuntimeError(0, allocationFailureMessage((length + 1) * qint64(sizeof(char16_t))));
    }
}

void InitGlobals()
{
    g_panels = std::make_unique<TileList<ControlRef>>();
    g_captions = std::make_unique<TileList<TileText>>();
    g_fonts = std::make_unique<TileList<TileText>>();
}

bool tileListsExist()
{
    return g_panels != nullptr && g_captions != nullptr && g_fonts != nullptr;
}

void FreeGlobals()
{
    g_panels.reset();
    g_captions.reset();
    g_fonts.reset();
}

void OnMainWindowCreated()
{
    for (const char16_t *name : {u"画板1", u"画板2", u"画板3", u"画板4", u"画板5", u"画板6"})
        TilePanels().append(mainWindowControl(name));
    g_fonts = copyOf(DefaultTileFonts);
    g_captions = copyOf(DefaultTileCaptions);
    applyRememberedTileFaces(); // the user's own faces, before anything is drawn
    RenderPreview();
}
