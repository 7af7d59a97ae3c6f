// Times one start of a windowed program from outside, as the X server sees it: from just before the
// program is started until the first drawing lands in its top-level window. Prints
// "<milliseconds> <peak resident kB> <CPU milliseconds>": the peak (VmHWM) is read a moment after that
// first frame; the CPU time is what all the program's threads had run when it was drawn, a figure that
// other work on a busy machine disturbs far less than the elapsed time.
//   first_frame [--settle MS] PROGRAM [ARGUMENTS...]
// No polling: the X server tells us when a top-level window is created (damage tracking starts
// there, before anything can be drawn), when it is mapped (its _NET_WM_PID must be our child's), and
// when its contents first change (XDamage). Toolkit windows have no background, so the server paints
// nothing on mapping; the first damage is the program's own first frame.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kGiveUpAfter = std::chrono::seconds(20);

struct Options
{
    int settleMs = 300;
    char **command = nullptr;
};

std::optional<Options> parseArguments(int argc, char **argv)
{
    Options options;
    int next = 1;
    if (next + 1 < argc && std::strcmp(argv[next], "--settle") == 0) {
        options.settleMs = std::atoi(argv[next + 1]);
        next += 2;
    }
    if (next >= argc)
        return std::nullopt;
    options.command = argv + next;
    return options;
}

// Windows of other clients may vanish between an event and our request about them.
int ignoreXErrors(Display *, XErrorEvent *)
{
    return 0;
}

pid_t startProgram(Display *display, char **command)
{
    fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);
    const pid_t pid = fork();
    if (pid == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        execvp(command[0], command);
        std::perror(command[0]);
        _exit(127);
    }
    return pid;
}

long windowPid(Display *display, Window window)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char *data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &remaining,
                           &data) == Success &&
        data != nullptr && format == 32 && count == 1)
        pid = *reinterpret_cast<long *>(data); // format-32 properties arrive as longs
    if (data != nullptr)
        XFree(data);
    return pid;
}

// Waits for the X connection to have an event, or for the deadline; false when time is up.
bool waitForEvent(Display *display, Clock::time_point deadline)
{
    while (XPending(display) == 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(std::min<long>(left, 100)));
    }
    return true;
}

bool childRunning(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == 0;
}

// Follows the child's top-level windows until one of them, mapped, is first drawn; returns when.
std::optional<Clock::time_point> awaitFirstFrame(Display *display, int damageEvent, pid_t pid,
                                                 Clock::time_point started)
{
    Window shown = None;
    const auto deadline = started + kGiveUpAfter;
    while (childRunning(pid) && waitForEvent(display, deadline)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify && event.xcreatewindow.parent == DefaultRootWindow(display)) {
            XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
        } else if (event.type == MapNotify && shown == None && windowPid(display, event.xmap.window) == pid) {
            shown = event.xmap.window;
        } else if (event.type == damageEvent + XDamageNotify) {
            const auto &damage = reinterpret_cast<const XDamageNotifyEvent &>(event);
            if (shown != None && damage.drawable == shown)
                return Clock::now();
        }
    }
    return std::nullopt;
}

long peakResidentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// Nanoseconds each thread has spent on a CPU are the first field of its schedstat.
double cpuMilliseconds(pid_t pid)
{
    double ns = 0;
    std::error_code error;
    for (const auto &task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream stat(task.path() / "schedstat");
        double threadNs = 0;
        if (stat >> threadNs)
            ns += threadNs;
    }
    return ns / 1e6;
}

void stopProgram(pid_t pid)
{
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

} // namespace

int main(int argc, char **argv)
{
    const std::optional<Options> options = parseArguments(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: first_frame [--settle MS] PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    int damageEvent = 0;
    int damageError = 0;
    if (display == nullptr || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "first_frame: no X display with the DAMAGE extension\n");
        return 2;
    }
    XSetErrorHandler(&ignoreXErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto started = Clock::now();
    const pid_t pid = startProgram(display, options->command);
    const std::optional<Clock::time_point> drawn = awaitFirstFrame(display, damageEvent, pid, started);
    if (!drawn) {
        std::fprintf(stderr, "first_frame: %s drew no window\n", options->command[0]);
        stopProgram(pid);
        return 1;
    }
    const double cpuMs = cpuMilliseconds(pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(options->settleMs));
    const long peak = peakResidentKilobytes(pid);
    stopProgram(pid);
    const double ms = std::chrono::duration<double, std::milli>(*drawn - started).count();
    std::printf("%.1f %ld %.1f\n", ms, peak, cpuMs);
    return 0;
}
