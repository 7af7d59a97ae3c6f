#include "app/program_main.h"
#include "cli/command_line.h"

// Without arguments the window opens; with any, the command line draws without one.
int main(int argc, char **argv)
{
    if (argc > 1)
        return runCommandLine(argc, argv);
    return ProgramMain(argc, argv);
}
