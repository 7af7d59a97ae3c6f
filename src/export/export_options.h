#pragma once

#include <QColor>
#include <QString>

#include <optional>

enum class ExportFormat { Png, Svg, Bmp };
enum class ExportBackground { AsPreview, Transparent, White, Black };

// How a tile or the whole sheet is taken out of the program.
struct ExportOptions
{
    ExportFormat format = ExportFormat::Png;
    int scale = 4; // 1, 2, 4 or 8
    ExportBackground background = ExportBackground::Transparent;
    std::optional<QColor> ink = QColor(Qt::black); // none: the preview's text colour
    bool trim = false;                             // cut to the ink with a margin of 4 % of the height
    bool withCaption = true;
    friend bool operator==(const ExportOptions &, const ExportOptions &) = default;
};

inline constexpr int kExportScales[] = {1, 2, 4, 8};

// The file-name suffix of a format, without the dot; and the format a suffix names.
QString suffixOf(ExportFormat format);
std::optional<ExportFormat> formatForSuffix(const QString &suffix);

// Blue-black and red inks offered beside black.
inline const QColor kBlueInk = QColor(0x1F, 0x3A, 0x93);
inline const QColor kRedInk = QColor(0xC0, 0x27, 0x2D);
