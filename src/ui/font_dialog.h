#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QLineEdit;
class QListWidget;

// Which tile's face is chosen, and for what name.
struct FaceRequest
{
    QWidget *owner = nullptr;
    int tile = 0;
    QString name;        // what the tile shows: only faces that draw all of it are offered
    QString currentFace; // the tile's item of TileFonts
};

// The face chosen: an installed family, a family from a font file the program now keeps, or the
// tile's requested face back.
struct FaceChoice
{
    QString family;
    QString file;
    bool restoreDefault = false;
    friend bool operator==(const FaceChoice &, const FaceChoice &) = default;
};

// Lists the installed families that draw every character of the name, each row showing the name in
// that face, with a filter box; Up and Down move through the list from the filter box, Enter
// chooses. "从文件添加…" takes a font file into the program's font folder and chooses it; "恢复默认"
// gives the tile its requested face back. The list is built when the dialog is made.
class FontDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FontDialog(const FaceRequest &request, QWidget *parent = nullptr);

    const std::optional<FaceChoice> &choice() const { return m_choice; }
    QStringList listedFamilies() const;
    // The family of the selected row, or empty.
    QString selectedFamily() const;

    void addFromFile();
    void restoreDefault();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillList();
    void applyFilter(const QString &text);
    void chooseSelected();

    FaceRequest m_request;
    QLineEdit *m_filter = nullptr;
    QListWidget *m_list = nullptr;
    std::optional<FaceChoice> m_choice;
};

// Seams for tests, each with the real dialog as its default.
// Shows the dialog and returns the choice, or nothing on cancel.
using FacePrompt = std::function<std::optional<FaceChoice>(const FaceRequest &)>;
void setFacePrompt(FacePrompt prompt);
std::optional<FaceChoice> askTileFace(const FaceRequest &request);
// Asks for a font file to add; empty on cancel.
using FontFilePrompt = std::function<QString(QWidget *owner)>;
void setFontFilePrompt(FontFilePrompt prompt);
// Tells why a font file cannot be added.
using FontMessagePresenter = std::function<void(const QString &title, const QString &text)>;
void setFontMessagePresenter(FontMessagePresenter presenter);
