#include "ui/controls.h"

#include "pinyin/pinyin.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QKeyEvent>

namespace {

// Tab stops take the focus by Tab and by click; everything else never takes it.
Qt::FocusPolicy focusPolicyOf(const ControlSpec &row)
{
    return row.tabStop ? Qt::StrongFocus : Qt::NoFocus;
}

// The keys with which a button or a check box would otherwise move the focus to a neighbour. They are
// taken and dropped, so that no other control acts on them either.
bool swallowArrowKey(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: event->accept(); return true;
    default: return false;
    }
}

} // namespace

EditBox::EditBox(const ControlSpec &row, QWidget *parent)
    : QLineEdit(controlText(row), parent)
{
    setFocusPolicy(focusPolicyOf(row));
    QPalette colors = palette();
    colors.setColor(QPalette::Text, Qt::black);
    colors.setColor(QPalette::Base, Qt::white);
    setPalette(colors);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setMaxLength(std::numeric_limits<int>::max());
    QRect place = row.geometry;
    place.setHeight(editBoxHeight(place.height(), fontMetrics().height(), 2));
    setGeometry(place);
    setCursorPosition(0);
    deselect();
    m_kept = caret();
}

EditBox::Caret EditBox::caret() const
{
    return {cursorPosition(), selectionStart(), selectionLength()};
}

void EditBox::restore(const Caret &kept)
{
    if (kept.selectionStart < 0) {
        setCursorPosition(kept.position);
        return;
    }
    // The caret stays at whichever end of the selection it was.
    if (kept.position == kept.selectionStart)
        setSelection(kept.selectionStart + kept.selectionLength, -kept.selectionLength);
    else
        setSelection(kept.selectionStart, kept.selectionLength);
}

void EditBox::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event); // selects everything when reached by Tab
    restore(m_kept);
}

void EditBox::focusOutEvent(QFocusEvent *event)
{
    m_kept = caret();
    QLineEdit::focusOutEvent(event); // drops the selection
}

void EditBox::offerRomanisedName(std::function<QString()> chineseName)
{
    m_chineseName = std::move(chineseName);
    setToolTip(QStringLiteral("右键菜单可按中文姓名填写拼音"));
}

void EditBox::replaceText(const QString &text)
{
    // Undo takes back one step at a time, and a step ends where the caret moves. Selecting all moves
    // it, which closes the step before; moving it to the start and back closes this one, so typing
    // that follows is undone on its own.
    selectAll();
    insert(text);
    home(false);
    end(false);
    // Getting the focus puts back the kept caret, so the next visit finds it at the end too.
    m_kept = caret();
}

void EditBox::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_chineseName) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    QMenu *menu = createStandardContextMenu();
    addRomanisationEntries(menu);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

// The entries read the Chinese name when chosen, so the pinyin table loads on first use.
void EditBox::addRomanisationEntries(QMenu *menu)
{
    struct Entry
    {
        QString label;
        NameOrder order;
    };
    const Entry entries[] = {{QStringLiteral("按中文姓名填写拼音"), NameOrder::SurnameFirst},
                             {QStringLiteral("按中文姓名填写拼音（名在前）"), NameOrder::GivenNameFirst}};
    const bool hasName = !m_chineseName().trimmed().isEmpty();
    menu->addSeparator();
    for (const Entry &entry : entries) {
        QAction *action = menu->addAction(entry.label);
        action->setEnabled(hasName);
        connect(action, &QAction::triggered, this,
                [this, order = entry.order] { replaceText(proposeRomanisedName(m_chineseName(), order)); });
    }
}

Button::Button(const ControlSpec &row, QWidget *parent)
    : QPushButton(controlText(row), parent)
{
    setFocusPolicy(focusPolicyOf(row));
    setAutoDefault(false);
    setDefault(false);
    setGeometry(row.geometry);
}

void Button::keyPressEvent(QKeyEvent *event)
{
    if (!swallowArrowKey(event))
        QPushButton::keyPressEvent(event);
}

CheckBox::CheckBox(const ControlSpec &row, QWidget *parent)
    : QCheckBox(controlText(row), parent)
{
    setFocusPolicy(focusPolicyOf(row));
    setTristate(false);
    setChecked(true);
    setGeometry(row.geometry);
}

void CheckBox::keyPressEvent(QKeyEvent *event)
{
    if (!swallowArrowKey(event))
        QCheckBox::keyPressEvent(event);
}

Label::Label(const ControlSpec &row, QWidget *parent)
    : QLabel(controlText(row), parent)
{
    setFocusPolicy(focusPolicyOf(row));
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setWordWrap(false);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, Qt::black);
    setPalette(colors);
    setGeometry(row.geometry);
}
