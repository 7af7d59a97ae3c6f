#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

// One description/pattern pair of a dialog filter.
struct FilterPair
{
    QString description;
    QString pattern;
    friend bool operator==(const FilterPair &, const FilterPair &) = default;
};

// "desc|pattern|desc|pattern": trailing white space trimmed, then read in pairs. An odd last
// description gets an empty pattern; empty pairs are dropped.
QList<FilterPair> parseFilter(const QString &filter);
// The name filter a Qt file dialog understands for one pair.
QString nameFilterOf(const FilterPair &pair);

// What the save dialog is asked to show.
struct SaveDialogRequest
{
    QWidget *owner = nullptr; // the dialog stays over this window and blocks it while open
    QString title;
    QStringList nameFilters;
    QString selectedNameFilter;
    QString defaultSuffix;
    QString initialPath; // a full file path, or a folder for the first save
    bool confirmOverwrite = true;
};

// Shows the dialog and returns the confirmed full path, or nothing on cancel.
using SavePathPrompt = std::function<std::optional<QString>(const SaveDialogRequest &)>;

// The save-file dialog component of the window: its settings, and Open to show it.
class CommonDlg : public QObject
{
    Q_OBJECT
public:
    explicit CommonDlg(QObject *parent);

    QString title;
    QString filter = QStringLiteral("位图文件(*.bmp)|*.bmp");
    int filterIndex = 0;
    QString initialFolder;
    QString defaultExtension = QStringLiteral("bmp");
    bool overwritePrompt = true;

    // Empty until the first confirmed dialog; then the last confirmed full path.
    QString FileName() const { return m_fileName; }

    // Shows the modal dialog. True and FileName set when the user confirms; false and nothing
    // changed otherwise.
    bool Open();

    // Where the first save looks: the user's pictures folder, else the home folder.
    static QString firstSaveFolder();
    SaveDialogRequest request() const;

    // Replaces the real dialog (tests answer with a path or a cancel). An empty prompt restores it.
    static void setPrompt(SavePathPrompt prompt);
    // Asks for a path through the current prompt: the window's other saves use the same dialog.
    static std::optional<QString> askSavePath(const SaveDialogRequest &request);

private:
    QString m_fileName;
};
