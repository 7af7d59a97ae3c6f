#pragma once

// The program started with arguments: draws what they ask for without a window, on the offscreen
// platform, and returns the exit status (0 done, 1 something failed, 2 a usage error).
int runCommandLine(int argc, char **argv);
