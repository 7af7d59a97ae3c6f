#pragma once

#include "app/tile_list.h"
#include "render/real_to_integer.h"

#include <QString>
#include <QtGlobal>

#include <array>

// Addresses one control: the identifier of its window, then that of the control within the window.
struct ControlRef
{
    quint32 window = 0;
    quint32 control = 0;
    friend bool operator==(const ControlRef &, const ControlRef &) = default;
};

// A text item of a list. A null QString is an item without text, which reads as the empty text.
using TileText = QString;

// The three parallel tile lists: item i of each belongs to tile i. They exist from InitGlobals to
// FreeGlobals; reading one outside that time is a programming error.
TileList<ControlRef> &TilePanels();
TileList<TileText> &TileFonts();
TileList<TileText> &TileCaptions();

// The constant tables the working lists are copied from. Never written, never released; the fifth and
// sixth caption are one stored text referenced twice.
extern const std::array<const char16_t *, 6> DefaultTileFonts;
extern const std::array<const char16_t *, 6> DefaultTileCaptions;

// A private copy of a constant text; nullptr gives an item without text.
TileText copyText(const char16_t *text);

void InitGlobals();
// Whether the lists exist: from InitGlobals until FreeGlobals.
bool tileListsExist();
void FreeGlobals();
// Runs once the window and all its controls exist and before the window is shown.
void OnMainWindowCreated();
