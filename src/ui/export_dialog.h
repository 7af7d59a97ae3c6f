#pragma once

#include "export/export_options.h"
#include "render/tile_renderer.h"

#include <QDialog>
#include <QList>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;

// What is to be exported: one tile or the six as a sheet, as the last preview drew them.
struct ExportRequest
{
    QWidget *owner = nullptr;
    QList<TileJob> jobs;
    bool inverted = true;
    bool wholeSheet = false;
    ExportOptions initial;
};

// The small dialog that chooses how a picture is exported, with a live preview of the result.
class ExportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ExportDialog(const ExportRequest &request, QWidget *parent = nullptr);

    ExportOptions options() const;
    // The picture as the preview shows it now (at no more than twice the tile size).
    const QImage &previewImage() const { return m_previewImage; }

private:
    void buildControls();
    void showOptions(const ExportOptions &options);
    void chooseOtherInk();
    void refreshPreview();

    ExportRequest m_request;
    QComboBox *m_format = nullptr;
    QComboBox *m_scale = nullptr;
    QComboBox *m_background = nullptr;
    QComboBox *m_ink = nullptr;
    QCheckBox *m_trim = nullptr;
    QCheckBox *m_noCaption = nullptr;
    QLabel *m_preview = nullptr;
    QLabel *m_size = nullptr;
    QImage m_previewImage;
};

// Shows the dialog and returns the confirmed choices, or nothing on cancel. Replaceable for tests.
using ExportChoicePrompt = std::function<std::optional<ExportOptions>(const ExportRequest &)>;
void setExportChoicePrompt(ExportChoicePrompt prompt);
std::optional<ExportOptions> askExportChoices(const ExportRequest &request);
