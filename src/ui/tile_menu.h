#pragma once

class QMenu;
class QWidget;

// The menu a right-click on tile `tile` (1-based) opens: "复制图片", "导出图片…", "字体…",
// "自动缩小" (ticked while the tile shrinks a wide name), "导出整张…".
// The menu is owned by `owner` and deletes itself once closed.
QMenu *tileMenu(int tile, QWidget *owner);
// The menu the keyboard opens on the window: the tile entries under one submenu per tile, then
// "导出整张…".
QMenu *windowTileMenu(QWidget *owner);
