#include "render/font_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QSaveFile>

namespace {

// The characters of `text` that `font` has no glyph for, each once, white space aside.
QString missingCharacters(const QRawFont &font, const QString &text)
{
    QString missing;
    const QList<uint> characters = text.toUcs4();
    for (const uint ucs4 : characters) {
        if (QChar::isSpace(ucs4) || font.supportsCharacter(ucs4))
            continue;
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t *>(&ucs4), 1);
        if (!missing.contains(one))
            missing += one;
    }
    return missing;
}

bool sameBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.size() == bytes.size() && file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

// Where the copy goes: the source's own name, or that name with a number when another file has it.
// An existing file with the same bytes is the copy already.
QString copyPath(const QDir &folder, const QString &fileName, const QByteArray &bytes)
{
    const QFileInfo name(fileName);
    QString candidate = folder.filePath(fileName);
    for (int n = 2; QFileInfo::exists(candidate) && !sameBytes(candidate, bytes); ++n) {
        const QString numbered = QStringLiteral("%1-%2").arg(name.completeBaseName()).arg(n);
        candidate = folder.filePath(name.suffix().isEmpty() ? numbered : numbered + u'.' + name.suffix());
    }
    return candidate;
}

// The bytes of a font file fit to add, or the reason it is not.
QString readFontBytes(const QString &source, QByteArray &bytes)
{
    const QFileInfo info(source);
    if (!info.exists())
        return QStringLiteral("找不到文件 %1。").arg(source);
    if (!info.isFile())
        return QStringLiteral("%1 不是文件。").arg(source);
    if (info.size() == 0)
        return QStringLiteral("文件是空的，不是字体文件。");
    if (info.size() > kMaxFontFileBytes)
        return QStringLiteral("文件有 %1 MB，字体文件最大 %2 MB。")
            .arg(info.size() / (1024 * 1024))
            .arg(kMaxFontFileBytes / (1024 * 1024));
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取文件：%1").arg(file.errorString());
    bytes = file.readAll();
    if (bytes.size() != info.size())
        return QStringLiteral("无法读取文件：%1").arg(file.errorString());
    return {};
}

QString writeCopy(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("无法把字体复制到 %1：%2").arg(path, file.errorString());
    return {};
}

QHash<QString, QStringList> &loadedFiles()
{
    static QHash<QString, QStringList> loaded; // by absolute path
    return loaded;
}
} // namespace

bool coversText(const QRawFont &font, const QString &text)
{
    return font.isValid() && missingCharacters(font, text).isEmpty();
}

QStringList familiesCovering(const QString &text)
{
    QStringList covering;
    const QStringList families = QFontDatabase::families();
    for (const QString &family : families) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        QFont font(family);
        font.setStyleStrategy(QFont::NoFontMerging); // its own glyphs, not those of a fallback
        if (QFontInfo(font).family().compare(family, Qt::CaseInsensitive) != 0)
            continue;
        if (coversText(QRawFont::fromFont(font), text))
            covering.append(family);
    }
    return covering;
}

QStringList loadFontFile(const QString &path)
{
    QHash<QString, QStringList> &loaded = loadedFiles();
    const QString key = QFileInfo(path).absoluteFilePath();
    const auto known = loaded.constFind(key);
    if (known != loaded.constEnd())
        return *known;
    const int id = QFontDatabase::addApplicationFont(key);
    const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    loaded.insert(key, families);
    return families;
}

QString fontFileHolding(const QString &family)
{
    const QHash<QString, QStringList> &loaded = loadedFiles();
    for (auto it = loaded.constBegin(); it != loaded.constEnd(); ++it)
        if (it.value().contains(family, Qt::CaseInsensitive))
            return it.key();
    return {};
}

AddedFont addFontFile(const QString &source, const QString &text, const QString &folder)
{
    QByteArray bytes;
    if (const QString error = readFontBytes(source, bytes); !error.isEmpty())
        return {{}, {}, error};
    const QRawFont font(bytes, 36);
    if (!font.isValid())
        return {{}, {}, QStringLiteral("这不是可用的字体文件（可用的格式：TTF、OTF、TTC、WOFF、WOFF2）。")};
    if (const QString missing = missingCharacters(font, text); !missing.isEmpty())
        return {{}, {}, QStringLiteral("字体“%1”没有这些字的字形：%2").arg(font.familyName(), missing)};
    const QDir dir(folder);
    const bool hadFolder = dir.exists();
    if (!dir.mkpath(QStringLiteral(".")))
        return {{}, {}, QStringLiteral("无法建立字体文件夹 %1。").arg(folder)};
    const QString path = copyPath(dir, QFileInfo(source).fileName(), bytes);
    const bool existed = QFileInfo::exists(path);
    QString error = existed ? QString() : writeCopy(path, bytes);
    const QStringList families = error.isEmpty() ? loadFontFile(path) : QStringList();
    if (error.isEmpty() && families.isEmpty())
        error = QStringLiteral("字体系统无法载入这个文件。");
    if (error.isEmpty())
        return {families.constFirst(), path, {}};
    // Nothing of a failed attempt stays behind, not even a folder made for it.
    if (!existed)
        QFile::remove(path);
    if (!hadFolder)
        QDir().rmdir(folder);
    return {{}, {}, error};
}
