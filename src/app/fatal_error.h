#pragma once

#include <QString>

// The program's only error report: a modal box, then the end of the process with exit code -1.
// The exit routine registered at start-up is dropped first, so the tile lists are never released
// after a fatal error.

// The text of the box, lines separated by CR LF as the box has always shown them.
QString composeFatalText(qint32 code, const QString &message);
// The message for an allocation of `bytes` that could not be satisfied.
QString allocationFailureMessage(qint64 bytes);
// The message for an allocation whose size is not known where it is reported.
QString allocationFailureMessage();

[[noreturn]] void FatalRuntimeError(qint32 code, const QString &message);

// Shows the box and returns when it is dismissed. Replaceable so that a test can read the text
// without a person clicking OK.
using FatalBoxPresenter = void (*)(const QString &title, const QString &text);
void setFatalBoxPresenter(FatalBoxPresenter presenter);

// The one routine run at normal exit, after the event loop has returned. Registering again replaces it.
using ExitRoutine = void (*)();
void registerExitRoutine(ExitRoutine routine);
