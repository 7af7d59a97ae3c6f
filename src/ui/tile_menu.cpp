#include "ui/tile_menu.h"

#include "app/globals.h"
#include "ui/tile_actions.h"
#include "ui/tile_faces.h"

#include <QMenu>
#include <QPointer>

namespace {

QMenu *newMenu(QWidget *owner)
{
    auto *menu = new QMenu(owner);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    return menu;
}

void addTileEntries(QMenu &menu, int tile, QWidget *owner)
{
    QPointer<QWidget> guarded(owner);
    QAction *copy = menu.addAction(QStringLiteral("复制图片"), &menu, [tile] { copyTileImage(tile); });
    copy->setObjectName(QStringLiteral("copyTile"));
    QAction *save =
        menu.addAction(QStringLiteral("导出图片…"), &menu, [tile, guarded] { exportTileImage(tile, guarded.data()); });
    save->setObjectName(QStringLiteral("exportTile"));
    menu.addSeparator();
    QAction *face =
        menu.addAction(QStringLiteral("字体…"), &menu, [tile, guarded] { chooseTileFace(tile, guarded.data()); });
    face->setObjectName(QStringLiteral("tileFace"));
    QAction *shrink = menu.addAction(QStringLiteral("自动缩小"));
    shrink->setObjectName(QStringLiteral("shrinkToFit"));
    shrink->setCheckable(true);
    shrink->setChecked(tileShrinksToFit(tile));
    QObject::connect(shrink, &QAction::toggled, &menu, [tile](bool on) { setTileShrinking(tile, on); });
}

void addSheetEntry(QMenu &menu, QWidget *owner)
{
    QPointer<QWidget> guarded(owner);
    QAction *sheet =
        menu.addAction(QStringLiteral("导出整张…"), &menu, [guarded] { exportWholeSheet(guarded.data()); });
    sheet->setObjectName(QStringLiteral("exportSheet"));
}

} // namespace

QMenu *tileMenu(int tile, QWidget *owner)
{
    QMenu *menu = newMenu(owner);
    addTileEntries(*menu, tile, owner);
    menu->addSeparator();
    addSheetEntry(*menu, owner);
    return menu;
}

QMenu *windowTileMenu(QWidget *owner)
{
    QMenu *menu = newMenu(owner);
    const qint32 tiles = tileListsExist() ? TileCaptions().count() : 0;
    for (qint32 k = 1; k <= tiles; ++k) {
        QMenu *sub = menu->addMenu(QStringLiteral("&%1 %2").arg(k).arg(TileCaptions().item(k)));
        sub->setObjectName(QStringLiteral("tile%1").arg(k));
        addTileEntries(*sub, k, owner);
    }
    menu->addSeparator();
    addSheetEntry(*menu, owner);
    return menu;
}
