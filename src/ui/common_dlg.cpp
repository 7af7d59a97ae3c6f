#include "ui/common_dlg.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QWidget>

namespace {

std::optional<QString> showSaveDialog(const SaveDialogRequest &request)
{
    QFileDialog dialog(request.owner, request.title);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setNameFilters(request.nameFilters);
    if (!request.selectedNameFilter.isEmpty())
        dialog.selectNameFilter(request.selectedNameFilter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    const QFileInfo initial(request.initialPath);
    if (initial.isDir()) {
        dialog.setDirectory(initial.absoluteFilePath());
    } else {
        dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    }
    const bool confirmed = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    // Give the window back its activation (and so its focused control), which a desktop without a
    // window manager would otherwise leave nowhere.
    if (request.owner != nullptr)
        request.owner->activateWindow();
    if (!confirmed)
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

SavePathPrompt &prompt()
{
    static SavePathPrompt current = &showSaveDialog;
    return current;
}

} // namespace

QList<FilterPair> parseFilter(const QString &filter)
{
    QString text = filter;
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    if (!text.endsWith(QStringLiteral("||")))
        text += QStringLiteral("||");
    const QStringList parts = text.split(QLatin1Char('|'));
    QList<FilterPair> pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            continue;
        pairs.append({parts[i], parts[i + 1]});
    }
    return pairs;
}

QString nameFilterOf(const FilterPair &pair)
{
    const QString inParentheses = QLatin1Char('(') + pair.pattern + QLatin1Char(')');
    if (pair.pattern.isEmpty() || pair.description.endsWith(inParentheses))
        return pair.description;
    return pair.description + QLatin1Char(' ') + inParentheses;
}

CommonDlg::CommonDlg(QObject *parent)
    : QObject(parent)
{}

QString CommonDlg::firstSaveFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}

SaveDialogRequest CommonDlg::request() const
{
    SaveDialogRequest request;
    request.owner = qobject_cast<QWidget *>(parent());
    request.title = title;
    const QList<FilterPair> pairs = parseFilter(filter);
    for (const FilterPair &pair : pairs)
        request.nameFilters.append(nameFilterOf(pair));
    if (!request.nameFilters.isEmpty()) {
        const qsizetype index = std::clamp<qsizetype>(filterIndex, 0, request.nameFilters.size() - 1);
        request.selectedNameFilter = request.nameFilters.at(index);
    }
    request.defaultSuffix = defaultExtension;
    request.confirmOverwrite = overwritePrompt;
    if (!m_fileName.isEmpty())
        request.initialPath = m_fileName;
    else if (!initialFolder.isEmpty())
        request.initialPath = initialFolder;
    else
        request.initialPath = firstSaveFolder();
    return request;
}

bool CommonDlg::Open()
{
    const std::optional<QString> chosen = prompt()(request());
    if (!chosen || chosen->isEmpty())
        return false;
    m_fileName = QFileInfo(*chosen).absoluteFilePath();
    return true;
}

void CommonDlg::setPrompt(SavePathPrompt replacement)
{
    prompt() = replacement ? std::move(replacement) : SavePathPrompt(&showSaveDialog);
}

std::optional<QString> CommonDlg::askSavePath(const SaveDialogRequest &request)
{
    return prompt()(request);
}
