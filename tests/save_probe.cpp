// Opens the real window, answers the save dialog with argv[1] and presses 保存图片. Prints
// "warning: <title>|<text>" for a failure box, then "done". With "--file-size-limit N" the process
// may write files of at most N bytes, as on a full disk (SIGXFSZ ignored, so writes fail instead).
#include "app/globals.h"
#include "export/sheet_export.h"
#include "render/tile_renderer.h"
#include "ui/common_dlg.h"
#include "ui/main_window.h"

#include <QApplication>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    if (argc == 4 && std::strcmp(argv[2], "--file-size-limit") == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = std::strtoull(argv[3], nullptr, 10);
        const rlimit fileSize{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
            return 3;
    }
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    installTileFaces();
    InitGlobals();
    {
        const QString path = QString::fromLocal8Bit(argv[1]);
        CommonDlg::setPrompt([path](const SaveDialogRequest &) { return std::optional<QString>(path); });
        setSaveWarningPresenter([](const QString &title, const QString &text) {
            std::printf("warning: %s|%s\n", qUtf8Printable(title), qUtf8Printable(text));
            std::fflush(stdout);
        });
        std::unique_ptr<MainWindow> window = loadMainWindow(&OnMainWindowCreated);
        SaveSheet();
    }
    FreeGlobals();
    std::printf("done\n");
    std::fflush(stdout); // before any exit handler, a leak check included, can end the process
    return 0;
}
