// Runs the real program and, once its window is up, does what the first argument says:
//   item0  read item 0 of TilePanels      item7  read item 7 of TileFonts
//   close  close the window normally      oom    grow a tile list beyond any memory
//   oom-event  ask the toolkit for more memory than there is, in an event handler
//   oom-start  the same in the window's created handler, during start-up
// The fatal box prints its title and text to stdout instead of waiting for a click. At exit, if exit
// handlers run at all, "exit: lists released" or "exit: lists kept" is printed.
#include "app/fatal_error.h"
#include "app/globals.h"
#include "app/program_main.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>

namespace {

const char *g_mode = "";

void printBox(const QString &title, const QString &text)
{
    std::printf("title: %s\ntext: %s\n", title.toUtf8().constData(), text.toUtf8().toPercentEncoding().constData());
}

// Caps the address space 256 MiB above what the process uses now.
void capAddressSpace()
{
    rlimit space{};
    getrlimit(RLIMIT_AS, &space);
    std::FILE *status = std::fopen("/proc/self/status", "r");
    char line[256];
    rlim_t size = 0;
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr)
        if (std::strncmp(line, "VmSize:", 7) == 0)
            size = std::strtoull(line + 7, nullptr, 10) * 1024;
    if (status != nullptr)
        std::fclose(status);
    space.rlim_cur = size + (rlim_t(256) << 20);
    setrlimit(RLIMIT_AS, &space);
}

// Under the cap, a tile list grows until its next doubling cannot be had. Items without text
// allocate nothing themselves.
void growBeyondMemory()
{
    capAddressSpace();
    static TileList<TileText> list;
    for (;;)
        list.append(TileText());
}

// Under the cap, asks the toolkit for a gigabyte, which it answers with std::bad_alloc.
void allocateBeyondMemory()
{
    capAddressSpace();
    const QByteArray huge(qsizetype(1) << 30, 'x');
    std::printf("allocated %lld bytes\n", static_cast<long long>(huge.size()));
}

// The created handler of the oom-start mode: the window's controls exist, memory runs out.
void runOutWhileCreated()
{
    OnMainWindowCreated();
    allocateBeyondMemory();
}

void reportAtExit()
{
    std::printf("exit: lists %s\n", tileListsExist() ? "kept" : "released");
}

void actOnceShown()
{
    setFatalBoxPresenter(&printBox);
    QTimer::singleShot(0, qApp, [] {
        std::printf("running: %d tiles\n", TilePanels().count());
        if (std::strcmp(g_mode, "item0") == 0)
            (void)TilePanels().item(0);
        else if (std::strcmp(g_mode, "item7") == 0)
            (void)TileFonts().item(7);
        else if (std::strcmp(g_mode, "oom") == 0)
            growBeyondMemory();
        else if (std::strcmp(g_mode, "oom-event") == 0)
            allocateBeyondMemory();
        else
            QApplication::closeAllWindows();
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(actOnceShown)

int main(int argc, char **argv)
{
    g_mode = argc > 1 ? argv[1] : "close";
    // Registered before the program's own exit routine, so it runs after it.
    std::atexit(&reportAtExit);
    int qtArgc = 1;
    return ProgramMain(qtArgc, argv,
                       std::strcmp(g_mode, "oom-start") == 0 ? &runOutWhileCreated : &OnMainWindowCreated);
}
