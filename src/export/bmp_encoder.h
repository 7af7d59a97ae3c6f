#pragma once

#include <QByteArray>
#include <QImage>

// The layout of an uncompressed 24-bit bottom-up bitmap file.
inline constexpr int kBmpFileHeaderSize = 14;
inline constexpr int kBmpInfoHeaderSize = 40;
inline constexpr int kBmpHeadersSize = kBmpFileHeaderSize + kBmpInfoHeaderSize;

// Bytes of one pixel row, padded to a multiple of four; -1 when the width is out of range.
qint64 bmpRowStride(qint64 width);

// The complete file for `image`: both headers (resolutions 0, no colour table), then the rows bottom
// row first, blue-green-red, zero-padded. Empty for an empty image, or one whose sizes do not fit
// the file's 32-bit fields, or when memory runs out.
QByteArray encodeBmp24(const QImage &image);
