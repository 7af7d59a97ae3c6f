#include "ui/font_dialog.h"

#include "render/font_file.h"
#include "ui/tile_faces.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

std::optional<FaceChoice> showFontDialog(const FaceRequest &request)
{
    FontDialog dialog(request, request.owner);
    return dialog.exec() == QDialog::Accepted ? dialog.choice() : std::nullopt;
}

QString askFontFile(QWidget *owner)
{
    return QFileDialog::getOpenFileName(owner, QStringLiteral("添加字体文件"), QString(),
                                        QStringLiteral("字体文件 (*.ttf *.otf *.ttc *.woff *.woff2);;所有文件 (*)"));
}

void showFontMessage(const QString &title, const QString &text)
{
    QMessageBox::warning(QApplication::activeWindow(), title, text);
}

FacePrompt &facePrompt()
{
    static FacePrompt current = &showFontDialog;
    return current;
}

FontFilePrompt &filePrompt()
{
    static FontFilePrompt current = &askFontFile;
    return current;
}

FontMessagePresenter &messagePresenter()
{
    static FontMessagePresenter current = &showFontMessage;
    return current;
}

const int kFamilyRole = Qt::UserRole;

} // namespace

FontDialog::FontDialog(const FaceRequest &request, QWidget *parent)
    : QDialog(parent)
    , m_request(request)
{
    setWindowTitle(QStringLiteral("字体"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(request.name.isEmpty() ? QStringLiteral("已安装的字体：")
                                                        : QStringLiteral("能写出“%1”的字体：").arg(request.name),
                                 this));
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("filter"));
    m_filter->setPlaceholderText(QStringLiteral("按字体名筛选"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    layout->addWidget(m_filter);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("faces"));
    m_list->setMinimumSize(460, 360);
    layout->addWidget(m_list);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("选择"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QPushButton *fromFile = buttons->addButton(QStringLiteral("从文件添加…"), QDialogButtonBox::ActionRole);
    fromFile->setObjectName(QStringLiteral("addFile"));
    QPushButton *restore = buttons->addButton(QStringLiteral("恢复默认"), QDialogButtonBox::ResetRole);
    restore->setObjectName(QStringLiteral("restoreDefault"));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &FontDialog::chooseSelected);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(fromFile, &QPushButton::clicked, this, &FontDialog::addFromFile);
    connect(restore, &QPushButton::clicked, this, &FontDialog::restoreDefault);
    connect(m_list, &QListWidget::itemActivated, this, &FontDialog::chooseSelected);
    connect(m_filter, &QLineEdit::textChanged, this, &FontDialog::applyFilter);
    fillList();
    m_filter->setFocus();
}

void FontDialog::fillList()
{
    const QString sample = m_request.name.isEmpty() ? QString() : m_request.name + QStringLiteral("    ");
    const QStringList families = familiesCovering(m_request.name);
    for (const QString &family : families) {
        auto *item = new QListWidgetItem(sample + family, m_list);
        item->setData(kFamilyRole, family);
        QFont face(family);
        face.setPixelSize(24);
        item->setFont(face);
        if (family.compare(m_request.currentFace, Qt::CaseInsensitive) == 0)
            m_list->setCurrentItem(item);
    }
    if (m_list->currentItem() == nullptr && m_list->count() > 0)
        m_list->setCurrentRow(0);
}

QStringList FontDialog::listedFamilies() const
{
    QStringList families;
    for (int row = 0; row < m_list->count(); ++row)
        if (!m_list->item(row)->isHidden())
            families.append(m_list->item(row)->data(kFamilyRole).toString());
    return families;
}

QString FontDialog::selectedFamily() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item != nullptr && !item->isHidden() ? item->data(kFamilyRole).toString() : QString();
}

void FontDialog::applyFilter(const QString &text)
{
    QListWidgetItem *firstShown = nullptr;
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem *item = m_list->item(row);
        const bool shown = item->data(kFamilyRole).toString().contains(text.trimmed(), Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && firstShown == nullptr)
            firstShown = item;
    }
    if (m_list->currentItem() == nullptr || m_list->currentItem()->isHidden())
        m_list->setCurrentItem(firstShown);
}

// Up, Down and the page keys in the filter box move through the list, so typing and choosing need
// no change of focus.
bool FontDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QApplication::sendEvent(m_list, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FontDialog::chooseSelected()
{
    const QString family = selectedFamily();
    if (family.isEmpty() || result() == QDialog::Accepted)
        return;
    m_choice = FaceChoice{family, fontFileHolding(family), false};
    accept();
}

void FontDialog::addFromFile()
{
    const QString path = filePrompt()(this);
    if (path.isEmpty())
        return;
    const AddedFont added = addFontFile(path, m_request.name, fontDataFolder());
    if (!added.error.isEmpty()) {
        messagePresenter()(QStringLiteral("添加字体"), added.error);
        return;
    }
    m_choice = FaceChoice{added.family, added.path, false};
    accept();
}

void FontDialog::restoreDefault()
{
    m_choice = FaceChoice{{}, {}, true};
    accept();
}

void setFacePrompt(FacePrompt prompt)
{
    facePrompt() = prompt ? std::move(prompt) : FacePrompt(&showFontDialog);
}

std::optional<FaceChoice> askTileFace(const FaceRequest &request)
{
    return facePrompt()(request);
}

void setFontFilePrompt(FontFilePrompt prompt)
{
    filePrompt() = prompt ? std::move(prompt) : FontFilePrompt(&askFontFile);
}

void setFontMessagePresenter(FontMessagePresenter presenter)
{
    messagePresenter() = presenter ? std::move(presenter) : FontMessagePresenter(&showFontMessage);
}
