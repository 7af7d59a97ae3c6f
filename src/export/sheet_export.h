#pragma once

#include "export/file_writer.h"

#include <QByteArray>
#include <QString>

#include <functional>

class DrawPanel;

// A panel's whole raster as the bytes of a 24-bit bitmap file; empty when there is no picture.
QByteArray GetPicture(const DrawPanel &panel);

// The warning shown when the sheet could not be saved. Replaceable so that tests can read it.
using SaveWarningPresenter = std::function<void(const QString &title, const QString &text)>;
void setSaveWarningPresenter(SaveWarningPresenter presenter);
QString saveFailureText(const QString &fileName, const QString &reason);
// Shows the "保存图片" warning for a file that could not be written.
void reportSaveFailure(const QString &fileName, const QString &reason);

// Asks for a file, composes the six tiles as the last preview left them into the hidden sheet panel,
// and writes it as a bitmap. Cancel does nothing; a failure is reported and changes nothing else.
void SaveSheet();
