#include "app/program_main.h"

#include "app/fatal_error.h"
#include "app/globals.h"
#include "render/tile_renderer.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QDir>

#include <cfenv>

namespace {

// Round to nearest; every floating-point exception masked, so a bad operation gives NaN or infinity.
void setUpRealArithmetic()
{
    std::fesetround(FE_TONEAREST);
    std::fenv_t environment;
    std::feholdexcept(&environment);
}

} // namespace

int ProgramMain(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("signature-designer"));
    QApplication::setDesktopFileName(QStringLiteral(SIGNATURE_APP_ID));
    QDir::setCurrent(QApplication::applicationDirPath());
    installTileFaces();
    setUpRealArithmetic();
    InitGlobals();
    registerExitRoutine(&FreeGlobals);
    std::unique_ptr<MainWindow> window = loadMainWindow(&OnMainWindowCreated);
    if (window == nullptr)
        FatalRuntimeError(0, QStringLiteral("载入启动窗口失败"));
    QApplication::exec();
    return 0;
}
