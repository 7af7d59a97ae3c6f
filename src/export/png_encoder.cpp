#include "export/png_encoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

quint32 chunkCrc(const char *data, qsizetype size)
{
    return static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef *>(data), static_cast<uInt>(size)));
}

void put32(QByteArray &out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

void putChunk(QByteArray &out, const char (&type)[5], const QByteArray &data)
{
    put32(out, static_cast<quint32>(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    put32(out, chunkCrc(out.constData() + start, out.size() - start));
}

// The rows, each led by its filter byte: 1 (Sub: each byte less the byte one pixel to its left) for
// colours, 0 (None) for palette indexes, whose flat areas are runs already.
QByteArray filteredRows(const QImage &image, int channels)
{
    const int width = image.width();
    const qsizetype stride = qsizetype(width) * channels + 1;
    QByteArray rows(stride * image.height(), Qt::Uninitialized);
    for (int y = 0; y < image.height(); ++y) {
        auto *out = reinterpret_cast<quint8 *>(rows.data() + stride * y);
        if (channels == 1) {
            *out++ = 0;
            std::memcpy(out, image.constScanLine(y), std::size_t(width));
            continue;
        }
        const auto *in = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        *out++ = 1;
        QRgb previous = 0;
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = in[x];
            *out++ = static_cast<quint8>(qRed(pixel) - qRed(previous));
            *out++ = static_cast<quint8>(qGreen(pixel) - qGreen(previous));
            *out++ = static_cast<quint8>(qBlue(pixel) - qBlue(previous));
            if (channels == 4)
                *out++ = static_cast<quint8>(qAlpha(pixel) - qAlpha(previous));
            previous = pixel;
        }
    }
    return rows;
}

// The palette and, where any entry is not opaque, its alphas.
void putPalette(QByteArray &png, const QList<QRgb> &colours)
{
    QByteArray palette;
    QByteArray alphas;
    for (QRgb colour : colours) {
        palette.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
        alphas.append(char(qAlpha(colour)));
    }
    putChunk(png, "PLTE", palette);
    if (std::any_of(colours.begin(), colours.end(), [](QRgb c) { return qAlpha(c) != 255; }))
        putChunk(png, "tRNS", alphas);
}

// A zlib stream of `data`. Runs only (Z_RLE): after the Sub filter a picture's flat areas are runs
// of zeros, and looking for longer matches costs several times as much for a few per cent.
QByteArray deflated(const QByteArray &data)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK)
        return {};
    QByteArray out(qsizetype(deflateBound(&stream, static_cast<uLong>(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    const auto written = static_cast<qsizetype>(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        return {};
    out.truncate(written);
    return out;
}

} // namespace

QByteArray encodePng(const QImage &source)
{
    if (source.isNull() || source.width() > (1 << 24) || source.height() > (1 << 24))
        return {};
    const bool indexed = source.format() == QImage::Format_Indexed8 && !source.colorTable().isEmpty() &&
                         source.colorTable().size() <= 256;
    const bool alpha = !indexed && source.hasAlphaChannel();
    const QImage image =
        indexed ? source : source.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int channels = indexed ? 1 : alpha ? 4 : 3;

    QByteArray header;
    put32(header, static_cast<quint32>(image.width()));
    put32(header, static_cast<quint32>(image.height()));
    header.append(char(8));                                 // bits per channel or index
    header.append(char(indexed ? 3 : alpha ? 6 : 2));       // palette, RGBA or RGB
    header.append(char(0)).append(char(0)).append(char(0)); // deflate, adaptive filters, no interlace

    QByteArray resolution;
    put32(resolution, static_cast<quint32>(std::max(0, image.dotsPerMeterX())));
    put32(resolution, static_cast<quint32>(std::max(0, image.dotsPerMeterY())));
    resolution.append(char(1)); // per metre

    const QByteArray rows = filteredRows(image, channels);
    if (rows.size() > std::numeric_limits<uInt>::max() / 2)
        return {};
    const QByteArray compressed = deflated(rows);
    if (compressed.isEmpty())
        return {};

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    putChunk(png, "IHDR", header);
    if (indexed)
        putPalette(png, image.colorTable());
    putChunk(png, "pHYs", resolution);
    putChunk(png, "IDAT", compressed);
    putChunk(png, "IEND", {});
    return png;
}
