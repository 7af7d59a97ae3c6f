#pragma once

#include "app/globals.h"
#include "ui/draw_panel.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <array>

// The real window as the program opens it, with the tile lists filled and the first preview drawn.
class TileWindowFixture
{
public:
    static constexpr std::array<const char16_t *, 6> kTiles = {u"画板1", u"画板2", u"画板3",
                                                               u"画板4", u"画板5", u"画板6"};

    void open(void (*onCreated)() = &OnMainWindowCreated)
    {
        // Remembered choices come from a test folder, never from the user's own settings.
        QStandardPaths::setTestModeEnabled(true);
        InitGlobals();
        window = loadMainWindow(onCreated);
    }
    // Closes a menu a test left open, then the window.
    void close()
    {
        while (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        window.reset();
        FreeGlobals();
    }

    DrawPanel *tile(int k) const { return window->panel(kTiles[std::size_t(k - 1)]); }
    QImage raster(int k) const { return tile(k)->raster().copy(); }
    QLineEdit *field(int which) const
    {
        return qobject_cast<QLineEdit *>(window->widget(which == 1 ? u"编辑框1" : u"编辑框2"));
    }
    QCheckBox *inverted() const { return qobject_cast<QCheckBox *>(window->widget(u"选择框1")); }
    void clickPreview() const { QTest::mouseClick(window->widget(u"按钮1"), Qt::LeftButton); }
    void clickSave() const { QTest::mouseClick(window->widget(u"按钮2"), Qt::LeftButton); }
    // Right-clicks tile k as the mouse would; the menu that opened, or nullptr.
    QMenu *rightClickTile(int k) const
    {
        const QPoint inside(30, 40);
        QContextMenuEvent event(QContextMenuEvent::Mouse, inside, tile(k)->mapToGlobal(inside));
        QApplication::sendEvent(tile(k), &event);
        return qobject_cast<QMenu *>(QApplication::activePopupWidget());
    }

    std::unique_ptr<MainWindow> window;
};
