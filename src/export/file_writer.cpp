#include "export/file_writer.h"

#include <QRegularExpression>

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kNotRegular = QStringLiteral("不是普通文件");

// An open file descriptor, closed when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now; the error of the close, or 0.
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

WriteOutcome failure(const QString &reason)
{
    return {false, reason};
}

// The folder part of a path, with its final slash; empty for a bare name in the working folder.
std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Follows symbolic links until the name is no link: the file itself, or the name it is to get.
// Returns 0 or the error that stopped it.
int resolveLinks(std::string &path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat seen = {};
        if (::lstat(path.c_str(), &seen) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(seen.st_mode))
            return 0;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            return errno;
        target.resize(static_cast<std::size_t>(length));
        path = !target.empty() && target.front() == '/' ? target : folderOf(path) + target;
    }
    return ELOOP;
}

// Every byte at `offset` on, however many calls it takes. Returns 0 or the error of the call that
// failed: a short write is followed by another, which says why the disk took no more.
int writeAll(int fd, const QByteArray &bytes, off_t offset)
{
    const char *next = bytes.constData();
    auto left = static_cast<std::size_t>(bytes.size());
    while (left > 0) {
        const ssize_t written = ::pwrite(fd, next, left, offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        next += written;
        left -= static_cast<std::size_t>(written);
        offset += written;
    }
    return 0;
}

int readAll(int fd, QByteArray &bytes)
{
    char buffer[65536];
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        bytes.append(buffer, got);
        offset += got;
    }
}

// Flushes a folder's entries, so that a rename in it survives a crash. Best effort: some file
// systems cannot sync a folder, and the file's own bytes are already on the disk.
void syncFolder(const std::string &folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A new, hidden, uniquely named file beside `path`, created with the mode any new file gets (0666 less
// the umask). Sets `name`; returns the open descriptor, or -1 with errno set.
int createTemporary(const std::string &path, std::string &name)
{
    const std::string folder = folderOf(path);
    // Short enough that the suffix never makes the name too long for the folder.
    const std::string base = path.substr(folder.size()).substr(0, 200);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const quint32 suffix = QRandomGenerator::global()->generate();
        name = folder + '.' + base + '.' + QByteArray::number(suffix, 36).toStdString();
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the new file the old one's owner, group and mode; false when the system does not allow it.
bool takeOwnerAndMode(int fd, const struct stat &old)
{
    struct stat now = {};
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    // After the change of owner, which clears the set-id bits.
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

enum class Replacement { Done, Failed, NotHere };

// The bytes into a temporary file beside the target, flushed, then renamed over it. NotHere (and
// nothing left behind) when the folder takes no new file or the old file's owner cannot be kept.
Replacement replaceAtomically(const std::string &path, const QByteArray &bytes, const struct stat *old,
                              WriteOutcome &outcome)
{
    std::string temporary;
    Descriptor file(createTemporary(path, temporary));
    if (!file.valid()) {
        outcome = failure(systemError(errno));
        return Replacement::NotHere;
    }
    if (old != nullptr && !takeOwnerAndMode(file.get(), *old)) {
        ::unlink(temporary.c_str());
        return Replacement::NotHere;
    }
    int error = writeAll(file.get(), bytes, 0);
    if (error == 0 && ::fsync(file.get()) != 0)
        error = errno;
    if (error == 0)
        error = file.close();
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        outcome = failure(QStringLiteral("写入失败：") + systemError(error) +
                          (old != nullptr ? QStringLiteral("；原有文件保持不变") : QString()));
        return Replacement::Failed;
    }
    syncFolder(folderOf(path));
    outcome = {true, {}};
    return Replacement::Done;
}

// Puts the old bytes back after a failed rewrite; says whether that worked.
QString restoreOldBytes(int fd, const QByteArray &old)
{
    int error = writeAll(fd, old, 0);
    if (error == 0 && ::ftruncate(fd, static_cast<off_t>(old.size())) != 0)
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (error == 0)
        return QStringLiteral("；原有内容已恢复");
    return QStringLiteral("；原有内容未能恢复（") + systemError(error) + QStringLiteral("），文件现在不完整");
}

// Rewrites the file through its own name, keeping its inode (so its owner, mode and other links): the
// old bytes are read first, and put back if the new ones cannot all be written.
WriteOutcome rewriteInPlace(const std::string &path, const QByteArray &bytes)
{
    Descriptor file(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    const int openError = file.valid() ? 0 : errno;
    struct stat seen = {};
    if (file.valid() && ::fstat(file.get(), &seen) == 0 && !S_ISREG(seen.st_mode))
        return failure(kNotRegular);
    QByteArray old;
    const int readError = file.valid() ? readAll(file.get(), old) : openError;
    if (readError != 0)
        return failure(QStringLiteral("原有内容无法读出，不能在原处安全地改写：") + systemError(readError));
    int error = writeAll(file.get(), bytes, 0);
    if (error == 0 && ::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0)
        error = errno;
    if (error == 0 && ::fsync(file.get()) != 0)
        error = errno;
    if (error == 0)
        return {true, {}};
    return failure(QStringLiteral("写入失败：") + systemError(error) + restoreOldBytes(file.get(), old));
}

// The existing regular file at `path` may be written by this user: opening it for writing proves it,
// as the system sees permissions. Fills `seen` with what was opened.
int openForWritingCheck(const std::string &path, struct stat &seen)
{
    Descriptor file(::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.valid())
        return errno;
    return ::fstat(file.get(), &seen) == 0 ? 0 : errno;
}

WriteOutcome writeOverExisting(const std::string &path, const QByteArray &bytes, const struct stat &found)
{
    if (!S_ISREG(found.st_mode))
        return failure(kNotRegular); // never opened: opening a FIFO or a device can block or act
    struct stat old = {};
    if (const int error = openForWritingCheck(path, old))
        return failure(systemError(error));
    if (!S_ISREG(old.st_mode))
        return failure(kNotRegular);
    if (old.st_nlink > 1)
        return rewriteInPlace(path, bytes);
    WriteOutcome outcome;
    if (replaceAtomically(path, bytes, &old, outcome) == Replacement::NotHere)
        return rewriteInPlace(path, bytes);
    return outcome;
}

} // namespace

WriteOutcome WriteToFile(const QString &fileName, const QByteArray &bytes)
{
    if (fileName.isEmpty())
        return failure(QStringLiteral("没有文件名"));
    if (bytes.isEmpty())
        return failure(QStringLiteral("内容为空，没有可写的内容"));
    std::string path = QFile::encodeName(fileName).toStdString();
    if (const int error = resolveLinks(path))
        return failure(systemError(error));
    struct stat found = {};
    if (::stat(path.c_str(), &found) == 0)
        return writeOverExisting(path, bytes, found);
    if (errno != ENOENT)
        return failure(systemError(errno));
    WriteOutcome outcome;
    replaceAtomically(path, bytes, nullptr, outcome);
    return outcome;
}

QString temporaryFileTarget(const QString &fileName)
{
    static const QRegularExpression temporary(QStringLiteral("^\\.(.+)\\.[0-9a-z]{1,7}$"));
    const QRegularExpressionMatch match = temporary.match(fileName);
    return match.hasMatch() ? match.captured(1) : QString();
}
