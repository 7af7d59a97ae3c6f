#pragma once

#include "ui/control_table.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The standard control kinds of the window, each configured once from its row of the control table.

// A single-line field: black on white, scrolls sideways, no length limit, caret at the start.
// Moving the focus in or out leaves its caret and selection as they were: Tab selects nothing.
class EditBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit EditBox(const ControlSpec &row, QWidget *parent);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    struct Caret
    {
        int position = 0;
        int selectionStart = -1; // -1: nothing selected
        int selectionLength = 0;
    };
    Caret caret() const;
    void restore(const Caret &caret);

    Caret m_kept;
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
