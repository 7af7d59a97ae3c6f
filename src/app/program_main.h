#pragma once

#include "app/globals.h"

// The whole life of the program: the window comes up with its first preview drawn (by `onCreated`,
// run once every control exists and before the window shows), the event loop runs until the window
// is closed, and 0 is returned. The tile lists are released by the exit routine, after this returns.
// Without a display to show the window on, one line on standard error says so and 1 is returned.
// Memory that runs out during start-up or in any event handler ends the program through
// FatalRuntimeError.
int ProgramMain(int argc, char **argv, void (*onCreated)() = &OnMainWindowCreated);

// Whether a window can be shown: a platform is forced (QT_QPA_PLATFORM, or -platform among the
// arguments), or a display is named (DISPLAY, WAYLAND_DISPLAY). Reads the process environment.
bool hasDisplayFor(int argc, char **argv);

// The line printed when there is none.
extern const char kNoDisplayMessage[];

// Makes the Song face of the tile captions the fallback for the controls' Chinese text, the desktop's
// face staying first for everything else. Needs the substitution table of installTileFaces.
void useCaptionFaceForChinese();
