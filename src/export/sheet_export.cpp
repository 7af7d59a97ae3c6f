#include "export/sheet_export.h"

#include "app/globals.h"
#include "export/bmp_encoder.h"
#include "ui/common_dlg.h"
#include "ui/control_registry.h"
#include "ui/control_table.h"
#include "ui/draw_panel.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <cmath>

namespace {

void showSaveWarning(const QString &title, const QString &text)
{
    QMessageBox::warning(QApplication::activeWindow(), title, text);
}

SaveWarningPresenter &warningPresenter()
{
    static SaveWarningPresenter current = &showSaveWarning;
    return current;
}

DrawPanel *tilePanel(qint64 k)
{
    return controlAs<DrawPanel>(TilePanels().item(k));
}

bool isEvenTile(qint64 k)
{
    const double r = std::fmod(static_cast<double>(k), 2.0); // the sign of k, like k - 2 trunc(k / 2)
    return std::fabs(r) <= 1e-7;
}

// Composes the tiles onto the sheet panel, two columns wide, row after row.
void composeSheet(DrawPanel &sheet)
{
    const qint64 width = RealToInteger(tilePanel(1)->Width() * 2.0);
    const qint32 tiles = TilePanels().count();
    const qint64 height = RealToInteger(tilePanel(1)->Height() * (tiles / 2.0));
    sheet.Move(low32(width), low32(height));
    qint64 y = 0;
    const qint32 count = TilePanels().count();
    for (qint32 k = 1; k <= count; ++k) {
        const int x = isEvenTile(k) ? tilePanel(1)->Width() : 0;
        if (DrawPanel *tile = tilePanel(k))
            tile->Copy(sheet, x, low32(y));
        if (x > 0)
            y = RealToInteger(static_cast<double>(y) + tilePanel(1)->Height());
    }
}

} // namespace

QByteArray GetPicture(const DrawPanel &panel)
{
    return encodeBmp24(panel.raster());
}

void setSaveWarningPresenter(SaveWarningPresenter presenter)
{
    warningPresenter() = presenter ? std::move(presenter) : SaveWarningPresenter(&showSaveWarning);
}

QString saveFailureText(const QString &fileName, const QString &reason)
{
    return QStringLiteral("图片没有保存到“%1”。\n\n原因：%2").arg(QDir::toNativeSeparators(fileName), reason);
}

void SaveSheet()
{
    auto *dialog = controlAs<CommonDlg>(mainWindowControl(u"通用对话框1"));
    auto *sheet = controlAs<DrawPanel>(mainWindowControl(u"保存图片"));
    if (dialog == nullptr || sheet == nullptr || !dialog->Open())
        return;
    if (tilePanel(1) == nullptr)
        return;
    composeSheet(*sheet);
    const QByteArray picture = GetPicture(*sheet);
    const QString fileName = dialog->FileName();
    const WriteOutcome outcome = WriteToFile(fileName, picture);
    if (!outcome.written)
        warningPresenter()(QStringLiteral("保存图片"), saveFailureText(fileName, outcome.reason));
}

void reportSaveFailure(const QString &fileName, const QString &reason)
{
    warningPresenter()(QStringLiteral("保存图片"), saveFailureText(fileName, reason));
}
