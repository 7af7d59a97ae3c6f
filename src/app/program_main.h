#pragma once

// The whole life of the program: the window comes up with its first preview drawn, the event loop
// runs until the window is closed, and 0 is returned. The tile lists are released by the exit routine,
// after this returns.
int ProgramMain(int argc, char **argv);

// Makes the Song face of the tile captions the fallback for the controls' Chinese text, the desktop's
// face staying first for everything else. Needs the substitution table of installTileFaces.
void useCaptionFaceForChinese();
