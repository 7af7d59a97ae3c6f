#include "ui/main_window.h"

#include "export/sheet_export.h"
#include "ui/common_dlg.h"
#include "ui/control_registry.h"
#include "ui/controls.h"
#include "ui/draw_panel.h"
#include "ui/hyper_linker.h"
#include "ui/preview.h"
#include "ui/tile_menu.h"

#include <QContextMenuEvent>
#include <QMenu>

#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QShortcut>

namespace {

// The community forum behind the link at the bottom of the window.
const QString kForumAddress = QStringLiteral("https://bbs.yanxilan.net/");

// A picture of the program's icon, read by the built-in PNG reader alone. Left to detect the format,
// the image reader asks the MIME database and loads every image-format plug-in (and the SVG and JPEG
// libraries they need) before it decodes anything, which takes longer than the decoding.
QPixmap iconPicture(const QString &resource)
{
    QImageReader reader(resource, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

// The sizes a title bar and a task switcher show; the large ones stay with the installed desktop icons.
QIcon programIcon()
{
    QIcon icon;
    icon.addPixmap(iconPicture(QStringLiteral(":/DEFAULT_ICON_16")));
    icon.addPixmap(iconPicture(QStringLiteral(":/DEFAULT_ICON")));
    icon.addPixmap(iconPicture(QStringLiteral(":/DEFAULT_ICON_48")));
    return icon;
}

} // namespace

// Resources compiled into a static library must be initialised by name, outside any namespace.
static void initProgramResources()
{
    Q_INIT_RESOURCE(resources);
}

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QString::fromUtf16(kMainWindowTitle));
    initProgramResources();
    setWindowIcon(programIcon());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setFixedSize(kMainWindowOuterSize); // the frame is taken off once the desktop has added it
    placeOnScreen();
    for (const ControlSpec &row : kMainWindowControls) {
        QObject *created = createControl(row);
        created->setObjectName(QString::fromUtf16(row.name));
        registerControl({kMainWindowId, controlId(row.name)}, created);
        m_controls.push_back(created);
    }
    bindEvents();
    setupKeys();
}

QObject *MainWindow::createControl(const ControlSpec &row)
{
    switch (row.kind) {
    case ControlKind::EditBox: return new EditBox(row, this);
    case ControlKind::Button: return new Button(row, this);
    case ControlKind::CheckBox: return new CheckBox(row, this);
    case ControlKind::Label: return new Label(row, this);
    case ControlKind::DrawPanel: {
        // The six tiles start white; the hidden sheet panel on the button face.
        const Color back = row.visible ? kWhite : kSpecialColor;
        auto *panel = new DrawPanel(row.geometry, back, this);
        return panel;
    }
    case ControlKind::HyperLinker: return new HyperLinker(row.geometry, controlText(row), kForumAddress, this);
    case ControlKind::CommonDlg: return new CommonDlg(this);
    }
    Q_UNREACHABLE();
}

void MainWindow::bindEvents()
{
    auto *preview = qobject_cast<QPushButton *>(control(u"按钮1"));
    auto *save = qobject_cast<QPushButton *>(control(u"按钮2"));
    connect(preview, &QPushButton::clicked, this, [] { RenderPreview(); });
    connect(save, &QPushButton::clicked, this, [] { SaveSheet(); });
    qobject_cast<EditBox *>(control(u"编辑框2"))->offerRomanisedName([] {
        return fieldText(mainWindowControl(u"编辑框1"));
    });
}

void MainWindow::setupKeys()
{
    // Tab follows the order of creation among the tab stops and wraps at both ends.
    QWidget *previous = nullptr;
    for (std::size_t i = 0; i < kMainWindowControls.size(); ++i) {
        auto *w = qobject_cast<QWidget *>(m_controls[i]);
        if (w == nullptr || !kMainWindowControls[i].tabStop)
            continue;
        if (previous != nullptr)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }

    // Esc closes the window whichever control has the focus, exactly as the close button does.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    menuKey->setContext(Qt::WindowShortcut);
    connect(menuKey, &QShortcut::activated, this, &MainWindow::openMenuFromKeyboard);
}

int MainWindow::tileAt(QPoint position) const
{
    if (!tileListsExist())
        return 0;
    for (qint32 k = 1; k <= TilePanels().count(); ++k) {
        const auto *tile = controlAs<QWidget>(TilePanels().item(k));
        if (tile != nullptr && tile->isVisible() && tile->geometry().contains(position))
            return k;
    }
    return 0;
}

void MainWindow::contextMenuEvent(QContextMenuEvent *event)
{
    const int tile = event->reason() == QContextMenuEvent::Mouse ? tileAt(event->pos()) : 0;
    if (event->reason() == QContextMenuEvent::Mouse && tile == 0)
        return;
    QMenu *menu = tile > 0 ? tileMenu(tile, this) : windowTileMenu(this);
    menu->popup(event->globalPos());
    event->accept();
}

// Shift+F10 opens the menu of the focused control: a field's own edit menu, else the tiles' menu.
void MainWindow::openMenuFromKeyboard()
{
    QWidget *focused = focusWidget();
    if (focused == nullptr)
        focused = this;
    const QPoint centre = focused->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, centre, focused->mapToGlobal(centre));
    QCoreApplication::sendEvent(focused, &event);
}

QObject *MainWindow::control(std::u16string_view name) const
{
    const quint32 id = controlId(name);
    return id == 0 ? nullptr : m_controls.at(id - 1);
}

QWidget *MainWindow::widget(std::u16string_view name) const
{
    return qobject_cast<QWidget *>(control(name));
}

DrawPanel *MainWindow::panel(std::u16string_view name) const
{
    return qobject_cast<DrawPanel *>(control(name));
}

void MainWindow::showConfiguredControls()
{
    for (std::size_t i = 0; i < kMainWindowControls.size(); ++i) {
        if (auto *w = qobject_cast<QWidget *>(m_controls[i]))
            w->setVisible(kMainWindowControls[i].visible);
    }
}

void MainWindow::showAndActivate()
{
    show();
    activateWindow();
    widget(u"编辑框1")->setFocus(Qt::ActiveWindowFocusReason);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitOuterSize();
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    fitOuterSize();
}

// The window is 423 x 443 with its frame. The frame's thickness is known only once the desktop has
// framed the window, so the client area shrinks to fit then, and the window is centred again.
void MainWindow::fitOuterSize()
{
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize client = kMainWindowOuterSize - frame;
    if (client == size() || client.width() < 408 || client.height() < 408)
        return;
    setFixedSize(client);
    placeOnScreen();
}

// Centred on the primary screen with its frame, and never above or left of the usable area.
void MainWindow::placeOnScreen()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(placedTopLeft(screen->geometry(), screen->availableGeometry(), kMainWindowOuterSize));
}

std::unique_ptr<MainWindow> loadMainWindow(void (*onCreated)())
{
    auto window = std::make_unique<MainWindow>();
    window->showConfiguredControls();
    if (onCreated != nullptr)
        onCreated();
    window->showAndActivate();
    return window;
}

QString fieldText(ControlRef ref)
{
    const auto *field = controlAs<QLineEdit>(ref);
    return field != nullptr ? field->text() : QString();
}

bool isTicked(ControlRef ref)
{
    const auto *box = controlAs<QCheckBox>(ref);
    return box != nullptr && box->checkState() == Qt::Checked;
}
