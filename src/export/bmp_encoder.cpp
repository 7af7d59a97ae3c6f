#include "export/bmp_encoder.h"

#include <limits>
#include <new>

namespace {

void put16(char *at, quint16 value)
{
    at[0] = static_cast<char>(value & 0xFF);
    at[1] = static_cast<char>(value >> 8);
}

void put32(char *at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void writeHeaders(char *out, quint32 width, quint32 height, quint32 imageSize)
{
    out[0] = 'B';
    out[1] = 'M';
    put32(out + 2, kBmpHeadersSize + imageSize); // file size
    put16(out + 6, 0);
    put16(out + 8, 0);
    put32(out + 10, kBmpHeadersSize); // offset of the pixels
    put32(out + 14, kBmpInfoHeaderSize);
    put32(out + 18, width);
    put32(out + 22, height); // positive: bottom-up
    put16(out + 26, 1);      // planes
    put16(out + 28, 24);     // bits per pixel
    put32(out + 30, 0);      // no compression
    put32(out + 34, imageSize);
    put32(out + 38, 0); // horizontal resolution
    put32(out + 42, 0); // vertical resolution
    put32(out + 46, 0); // colours used
    put32(out + 50, 0); // important colours
}

} // namespace

qint64 bmpRowStride(qint64 width)
{
    if (width <= 0 || width > std::numeric_limits<qint32>::max())
        return -1;
    return ((width * 24 + 31) / 32) * 4;
}

QByteArray encodeBmp24(const QImage &image)
{
    const qint64 width = image.width();
    const qint64 height = image.height();
    const qint64 stride = bmpRowStride(width);
    if (image.isNull() || stride < 0 || height <= 0 || height > std::numeric_limits<qint32>::max())
        return {};
    const qint64 imageSize = stride * height; // both below 2^32, so no overflow in 64 bits
    const qint64 fileSize = kBmpHeadersSize + imageSize;
    if (fileSize > std::numeric_limits<quint32>::max() || fileSize > std::numeric_limits<qsizetype>::max())
        return {};
    try {
        const QImage pixels =
            image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
        if (pixels.isNull())
            return {};
        QByteArray out(static_cast<qsizetype>(fileSize), '\0'); // padding stays zero
        writeHeaders(out.data(), quint32(width), quint32(height), quint32(imageSize));
        for (qint64 row = 0; row < height; ++row) {
            const auto *source = reinterpret_cast<const QRgb *>(pixels.constScanLine(int(height - 1 - row)));
            char *target = out.data() + kBmpHeadersSize + row * stride;
            for (qint64 x = 0; x < width; ++x) {
                target[3 * x] = static_cast<char>(qBlue(source[x]));
                target[3 * x + 1] = static_cast<char>(qGreen(source[x]));
                target[3 * x + 2] = static_cast<char>(qRed(source[x]));
            }
        }
        return out;
    } catch (const std::bad_alloc &) {
        return {};
    }
}
