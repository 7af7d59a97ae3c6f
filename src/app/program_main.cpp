#include "app/program_main.h"

#include "app/fatal_error.h"
#include "app/globals.h"
#include "render/tile_renderer.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>

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

int ProgramMain(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("signature-designer"));
    QApplication::setDesktopFileName(QStringLiteral(SIGNATURE_APP_ID));
    QDir::setCurrent(QApplication::applicationDirPath());
    installTileFaces();
    useCaptionFaceForChinese();
    setUpRealArithmetic();
    InitGlobals();
    registerExitRoutine(&FreeGlobals);
    std::unique_ptr<MainWindow> window = loadMainWindow(&OnMainWindowCreated);
    if (window == nullptr)
        FatalRuntimeError(0, QStringLiteral("载入启动窗口失败"));
    QApplication::exec();
    return 0;
}
