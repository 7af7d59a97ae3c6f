#include "ui/export_dialog.h"

#include "export/image_export.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr QSize kPreviewArea(380, 216);

std::optional<ExportOptions> showExportDialog(const ExportRequest &request)
{
    ExportDialog dialog(request, request.owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.options();
}

ExportChoicePrompt &choicePrompt()
{
    static ExportChoicePrompt current = &showExportDialog;
    return current;
}

// A light chequerboard under the picture, so that a transparent background shows as such.
QPixmap onChequerboard(const QImage &picture, QSize area)
{
    const QImage fitted = picture.width() > area.width() || picture.height() > area.height()
                              ? picture.scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                              : picture;
    QPixmap shown(fitted.size());
    QPainter painter(&shown);
    for (int y = 0; y < shown.height(); y += 8)
        for (int x = 0; x < shown.width(); x += 8)
            painter.fillRect(x, y, 8, 8, ((x + y) / 8) % 2 == 0 ? QColor(0xDD, 0xDD, 0xDD) : QColor(Qt::white));
    painter.drawImage(0, 0, fitted);
    return shown;
}

enum InkRow { InkPreview, InkBlack, InkBlue, InkRed, InkOther };

} // namespace

ExportDialog::ExportDialog(const ExportRequest &request, QWidget *parent)
    : QDialog(parent)
    , m_request(request)
{
    setWindowTitle(request.wholeSheet ? QStringLiteral("导出整张") : QStringLiteral("导出图片"));
    buildControls();
    showOptions(request.initial);
    refreshPreview();
}

void ExportDialog::buildControls()
{
    m_format = new QComboBox(this);
    m_format->addItem(QStringLiteral("PNG 图片"), int(ExportFormat::Png));
    m_format->addItem(QStringLiteral("SVG 矢量图"), int(ExportFormat::Svg));
    if (m_request.wholeSheet)
        m_format->addItem(QStringLiteral("BMP 位图"), int(ExportFormat::Bmp));
    m_scale = new QComboBox(this);
    for (int scale : kExportScales)
        m_scale->addItem(QStringLiteral("×%1").arg(scale), scale);
    m_background = new QComboBox(this);
    m_background->addItem(QStringLiteral("透明"), int(ExportBackground::Transparent));
    m_background->addItem(QStringLiteral("白"), int(ExportBackground::White));
    m_background->addItem(QStringLiteral("黑"), int(ExportBackground::Black));
    m_background->addItem(QStringLiteral("同预览"), int(ExportBackground::AsPreview));
    m_ink = new QComboBox(this);
    m_ink->addItem(QStringLiteral("同预览"));
    m_ink->addItem(QStringLiteral("黑"), QColor(Qt::black));
    m_ink->addItem(QStringLiteral("蓝墨水"), kBlueInk);
    m_ink->addItem(QStringLiteral("红"), kRedInk);
    m_ink->addItem(QStringLiteral("其他颜色…"));
    m_trim = new QCheckBox(QStringLiteral("裁去空白"), this);
    m_noCaption = new QCheckBox(QStringLiteral("不含标题"), this);
    m_preview = new QLabel(this);
    m_preview->setMinimumSize(kPreviewArea);
    m_preview->setAlignment(Qt::AlignCenter);
    m_size = new QLabel(this);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("格式"), m_format);
    form->addRow(QStringLiteral("倍数"), m_scale);
    form->addRow(QStringLiteral("背景"), m_background);
    form->addRow(QStringLiteral("墨色"), m_ink);
    form->addRow(m_trim);
    form->addRow(m_noCaption);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("导出…"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_preview);
    layout->addWidget(m_size);
    layout->addWidget(buttons);

    for (QComboBox *box : {m_format, m_scale, m_background})
        connect(box, &QComboBox::currentIndexChanged, this, &ExportDialog::refreshPreview);
    connect(m_ink, &QComboBox::activated, this, [this](int row) {
        if (row == InkOther)
            chooseOtherInk();
        refreshPreview();
    });
    for (QCheckBox *box : {m_trim, m_noCaption})
        connect(box, &QCheckBox::toggled, this, &ExportDialog::refreshPreview);
}

void ExportDialog::showOptions(const ExportOptions &options)
{
    m_format->setCurrentIndex(std::max(0, m_format->findData(int(options.format))));
    m_scale->setCurrentIndex(std::max(0, m_scale->findData(options.scale)));
    m_background->setCurrentIndex(std::max(0, m_background->findData(int(options.background))));
    if (!options.ink) {
        m_ink->setCurrentIndex(InkPreview);
    } else {
        const int known = m_ink->findData(*options.ink);
        if (known < 0)
            m_ink->setItemData(InkOther, *options.ink);
        m_ink->setCurrentIndex(known >= 0 ? known : int(InkOther));
    }
    m_trim->setChecked(options.trim);
    m_noCaption->setChecked(!options.withCaption);
}

void ExportDialog::chooseOtherInk()
{
    const QColor start = m_ink->itemData(InkOther).value<QColor>();
    const QColor chosen =
        QColorDialog::getColor(start.isValid() ? start : QColor(Qt::black), this, QStringLiteral("墨色"));
    if (chosen.isValid())
        m_ink->setItemData(InkOther, chosen);
    else if (!start.isValid())
        m_ink->setCurrentIndex(InkBlack);
}

ExportOptions ExportDialog::options() const
{
    ExportOptions options;
    options.format = ExportFormat(m_format->currentData().toInt());
    options.scale = m_scale->currentData().toInt();
    options.background = ExportBackground(m_background->currentData().toInt());
    if (options.format == ExportFormat::Bmp && options.background == ExportBackground::Transparent)
        options.background = ExportBackground::AsPreview; // a bitmap has no alpha
    const QVariant ink = m_ink->currentData();
    if (m_ink->currentIndex() == InkPreview || !ink.isValid())
        options.ink.reset();
    else
        options.ink = ink.value<QColor>();
    options.trim = m_trim->isChecked();
    options.withCaption = !m_noCaption->isChecked();
    return options;
}

void ExportDialog::refreshPreview()
{
    ExportOptions shown = options();
    const int scale = shown.scale;
    shown.scale = std::min(scale, 2); // the preview area is smaller than twice the tile
    m_previewImage = exportImage(m_request.jobs, m_request.inverted, shown);
    m_preview->setPixmap(onChequerboard(m_previewImage, kPreviewArea));
    // Trimmed pictures scale with their margins rounded, so their size is given as about that.
    const QSize pixels = m_previewImage.size() * scale / shown.scale;
    m_size->setText(QStringLiteral("%1%2 × %3 像素，%4 dpi")
                        .arg(shown.trim && scale != shown.scale ? QStringLiteral("约 ") : QString())
                        .arg(pixels.width())
                        .arg(pixels.height())
                        .arg(96 * scale));
}

void setExportChoicePrompt(ExportChoicePrompt prompt)
{
    choicePrompt() = prompt ? std::move(prompt) : ExportChoicePrompt(&showExportDialog);
}

std::optional<ExportOptions> askExportChoices(const ExportRequest &request)
{
    return choicePrompt()(request);
}
