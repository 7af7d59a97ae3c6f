#include "app/fatal_error.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

void showCriticalBox(const QString &title, const QString &text)
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) {
        // No widgets can be shown yet (or any more): the text must still reach someone.
        std::fputs(qUtf8Printable(title + QLatin1Char('\n') + text), stderr);
        return;
    }
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok);
    box.exec();
}

FatalBoxPresenter g_presenter = &showCriticalBox;
ExitRoutine g_exitRoutine = nullptr;
bool g_atexitHooked = false;

void runRegisteredExitRoutine()
{
    ExitRoutine routine = g_exitRoutine;
    g_exitRoutine = nullptr; // at most once
    if (routine != nullptr)
        routine();
}

} // namespace

QString composeFatalText(qint32 code, const QString &message)
{
    QString text = QStringLiteral("运行时出错!") + kCrLf + kCrLf;
    if (code != 0)
        text += QStringLiteral("错误代码：") + QString::number(code) + kCrLf + kCrLf;
    if (!message.isEmpty())
        text += QStringLiteral("错误信息：") + message + kCrLf;
    return text;
}

QString allocationFailureMessage(qint64 bytes)
{
    return QStringLiteral("分配 %1 字节内存失败!").arg(bytes);
}

QString allocationFailureMessage()
{
    return QStringLiteral("分配内存失败!");
}

void FatalRuntimeError(qint32 code, const QString &message)
{
    g_presenter(QStringLiteral("错误"), composeFatalText(code, message));
    g_exitRoutine = nullptr;
    std::fflush(nullptr);
    // No destructors and no exit routine: the process ends where it stands.
    std::_Exit(-1);
}

void setFatalBoxPresenter(FatalBoxPresenter presenter)
{
    g_presenter = presenter != nullptr ? presenter : &showCriticalBox;
}

void registerExitRoutine(ExitRoutine routine)
{
    g_exitRoutine = routine;
    if (!g_atexitHooked) {
        g_atexitHooked = true;
        std::atexit(&runRegisteredExitRoutine);
    }
}
