#include "app/program_main.h"

#include "app/fatal_error.h"
#include "render/tile_renderer.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>

#include <cfenv>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

// Round to nearest; every floating-point exception masked, so a bad operation gives NaN or infinity.
void setUpRealArithmetic()
{
    std::fesetround(FE_TONEAREST);
    std::fenv_t environment;
    std::feholdexcept(&environment);
}

bool isSetAndNotEmpty(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// The application whose every event handler reports exhausted memory instead of letting the
// exception out of the event loop, where it would end the program with nothing said.
class Application : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::bad_alloc &) {
            FatalRuntimeError(0, allocationFailureMessage());
        }
    }
};

int runProgram(int argc, char **argv, void (*onCreated)())
{
    Application application(argc, argv);
    try {
        QApplication::setApplicationName(QStringLiteral("signature-designer"));
        QApplication::setDesktopFileName(QStringLiteral(SIGNATURE_APP_ID));
        QDir::setCurrent(QApplication::applicationDirPath());
        installTileFaces();
        useCaptionFaceForChinese();
        setUpRealArithmetic();
        InitGlobals();
        registerExitRoutine(&FreeGlobals);
        // Either the window comes up or an exception (memory) ends the program here.
        const std::unique_ptr<MainWindow> window = loadMainWindow(onCreated);
        QApplication::exec();
    } catch (const std::bad_alloc &) {
        FatalRuntimeError(0, allocationFailureMessage()); // while the window still stands
    }
    return 0;
}

} // namespace

const char kNoDisplayMessage[] =
    "需要图形显示：DISPLAY 和 WAYLAND_DISPLAY 都没有设置。无显示时请用 xvfb-run 或 QT_QPA_PLATFORM=offscreen 运行。"
    " / A graphical display is needed: neither DISPLAY nor WAYLAND_DISPLAY is set; run it under xvfb-run or with "
    "QT_QPA_PLATFORM=offscreen.\n";

bool hasDisplayFor(int argc, char **argv)
{
    if (isSetAndNotEmpty("QT_QPA_PLATFORM") || isSetAndNotEmpty("DISPLAY") || isSetAndNotEmpty("WAYLAND_DISPLAY"))
        return true;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

// Chinese text in the controls falls back to the Song face that the tile captions are drawn in (through
// the substitution table, so installTileFaces must have run), in place of whatever CJK face the font
// system would pick: one CJK face loaded at start instead of two, about 4 MB of font pages less. Latin
// text keeps the desktop's own face, named as installed because an alias such as "Sans Serif" is not
// found in a list of families.
void useCaptionFaceForChinese()
{
    QFont font = QApplication::font();
    font.setFamilies({QFontInfo(font).family(), QStringLiteral("宋体")});
    QApplication::setFont(font);
}

int ProgramMain(int argc, char **argv, void (*onCreated)())
{
    // The toolkit would abort with a core dump when it finds no display.
    if (!hasDisplayFor(argc, argv)) {
        std::fputs(kNoDisplayMessage, stderr);
        return 1;
    }
    try {
        return runProgram(argc, argv, onCreated);
    } catch (const std::bad_alloc &) {
        FatalRuntimeError(0, allocationFailureMessage()); // before the toolkit was up: on standard error
    }
}
