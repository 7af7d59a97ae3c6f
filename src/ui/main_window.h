#pragma once

#include "ui/control_table.h"

#include <QWidget>

#include <memory>
#include <vector>

class CommonDlg;
class DrawPanel;
class QLineEdit;
class QCheckBox;

// The program's one window: a fixed-size frame holding the sixteen controls of the control table, built
// hidden in table order. Esc closes it; Enter and F1 do nothing.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

    // Controls by name, in table order; the dialog component is a QObject, every other one a widget.
    QObject *control(std::u16string_view name) const;
    QWidget *widget(std::u16string_view name) const;
    DrawPanel *panel(std::u16string_view name) const;

    // Shows the controls whose visible flag is set, without activating anything.
    void showConfiguredControls();
    // Shows and activates the window with the focus on its first tab stop.
    void showAndActivate();

protected:
    void showEvent(QShowEvent *event) override;
    // A right-click on a tile opens that tile's menu; the keyboard's menu key (or Shift+F10) on any
    // control that has no menu of its own opens the menu of all six tiles.
    void contextMenuEvent(QContextMenuEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    QObject *createControl(const ControlSpec &row);
    void bindEvents();
    void setupKeys();
    void fitOuterSize();
    int tileAt(QPoint position) const;
    void openMenuFromKeyboard();
    void placeOnScreen();

    std::vector<QObject *> m_controls;
};

// Builds the main window hidden, runs `onCreated` while it is still hidden, then shows it.
std::unique_ptr<MainWindow> loadMainWindow(void (*onCreated)());

// The text a field holds now, and whether the check box shows its tick; both through ControlRef.
QString fieldText(ControlRef ref);
bool isTicked(ControlRef ref);
