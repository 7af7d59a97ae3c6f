#pragma once

#include "ui/control_table.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

class QMenu;

// The standard control kinds of the window, each configured once from its row of the control table.

// A single-line field: black on white, scrolls sideways, no length limit, caret at the start.
// Moving the focus in or out leaves its caret and selection as they were: Tab selects nothing.
class EditBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit EditBox(const ControlSpec &row, QWidget *parent);

    // Adds two entries to the context menu that replace the text with the romanised form of the
    // Chinese name that `chineseName` reads when one is chosen: surname first, or given name first.
    void offerRomanisedName(std::function<QString()> chineseName);
    // Replaces the whole text as one edit that a single undo takes back; the caret ends after it.
    void replaceText(const QString &text);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void addRomanisationEntries(QMenu *menu);

    struct Caret
    {
        int position = 0;
        int selectionStart = -1; // -1: nothing selected
        int selectionLength = 0;
    };
    Caret caret() const;
    void restore(const Caret &caret);

    Caret m_kept;
    std::function<QString()> m_chineseName;
};

// A push button that is never a default button, so Enter never clicks it. The arrow keys do nothing
// on it (a button outside a group would pass the focus on with them).
class Button : public QPushButton
{
    Q_OBJECT
public:
    explicit Button(const ControlSpec &row, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A two-state check box, ticked when the window is created. The arrow keys do nothing on it.
class CheckBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit CheckBox(const ControlSpec &row, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A caption on the button-face colour: left, vertically centred, one line, cut at the right edge.
class Label : public QLabel
{
    Q_OBJECT
public:
    explicit Label(const ControlSpec &row, QWidget *parent);
};
