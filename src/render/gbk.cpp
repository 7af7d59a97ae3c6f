#include "render/gbk.h"

#include <QByteArray>

#include <array>
#include <cerrno>
#include <iconv.h>

namespace {

// Converts one character (one or two UTF-16 units) and returns its GBK length.
qsizetype gbkLengthOf(iconv_t cd, QStringView character)
{
    QByteArray utf8 = character.toUtf8();
    std::array<char, 8> out{};
    char *in = utf8.data();
    std::size_t inLeft = static_cast<std::size_t>(utf8.size());
    char *outPtr = out.data();
    std::size_t outLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
        return 1;
    return static_cast<qsizetype>(out.size() - outLeft);
}

} // namespace

qsizetype gbkByteLength(const QString &text)
{
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // Without a converter, count the way GBK does for its two ranges: ASCII 1, the rest 2.
        qsizetype length = 0;
        for (QChar c : text)
            length += c.unicode() < 0x80 ? 1 : 2;
        return length;
    }
    qsizetype length = 0;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const qsizetype units = pair ? 2 : 1;
        const QStringView character = QStringView(text).mid(i, units);
        length += character.front().unicode() < 0x80 ? 1 : gbkLengthOf(cd, character);
        i += units;
    }
    iconv_close(cd);
    return length;
}
