#pragma once

#include "app/globals.h"

#include <QRect>

#include <array>
#include <string_view>

enum class ControlKind { EditBox, DrawPanel, Button, Label, CheckBox, CommonDlg, HyperLinker };

// One row of the window definition. Places and sizes are in pixels from the top-left of the client
// area; a control's size is its outer size.
struct ControlSpec
{
    const char16_t *name;
    ControlKind kind;
    QRect geometry;
    const char16_t *text; // nullptr: the control has no text
    bool visible;
    bool tabStop;
};

// The main window's sixteen controls in their order of creation. Identifiers are 1-based positions
// in this table.
extern const std::array<ControlSpec, 16> kMainWindowControls;

inline constexpr quint32 kMainWindowId = 1;
inline constexpr char16_t kMainWindowTitle[] = u"砚溪岚舍网签名设计 V1.0";
inline constexpr QSize kMainWindowOuterSize{423, 443};

// The text of a row as the control shows it; a row without text gives an empty one.
QString controlText(const ControlSpec &row);

// The identifier of the named control of the main window; 0 when no control has that name.
quint32 controlId(std::u16string_view name);
// The reference of a control of the main window by its name.
ControlRef mainWindowControl(std::u16string_view name);

// Top-left of a window of `outer` size centred on a screen of `screen` size; each coordinate is an
// integer division that truncates toward zero, so a window larger than the screen gets a negative one.
QPoint centredTopLeft(QSize screen, QSize outer);
// Where a window of `outer` size opens on a screen: centred on `screen` (its geometry, in the same
// device-independent units as `outer`), then moved right or down as far as needed to start no further
// up or left than `available`, the part windows may use, so that its title bar and first row can
// always be reached, even when the window is larger than the screen (a high scale factor).
QPoint placedTopLeft(const QRect &screen, const QRect &available, QSize outer);

// A single-line field is never lower than its font's cell plus both edges.
int editBoxHeight(int configured, int cellHeight, int edge);
