#include "export/file_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

struct stat statOf(const QString &path, bool followLinks = true)
{
    struct stat seen = {};
    const QByteArray name = QFile::encodeName(path);
    if ((followLinks ? ::stat(name.constData(), &seen) : ::lstat(name.constData(), &seen)) != 0)
        seen.st_mode = 0;
    return seen;
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

const QByteArray kOld = QByteArray("an older picture the user wants to keep\n").repeated(100);
const QByteArray kNew = QByteArray("BM") + QByteArray(324052, '\x5a');

// Makes writes in this process fail with EFBIG beyond `bytes`, as a full disk would end them, until
// destroyed. The hard limit stays, so the soft one can be raised back.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_kept);
        const rlimit lowered{bytes, m_kept.rlim_max};
        m_active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_kept);
        std::signal(SIGXFSZ, SIG_DFL);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool active() const { return m_active; }

private:
    rlimit m_kept{};
    bool m_active = false;
};

// A 128 KiB tmpfs, which only root may mount (and not in every container).
class SmallDisk
{
public:
    explicit SmallDisk(const QString &folder)
        : m_folder(QFile::encodeName(folder))
    {
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=128k,mode=0777") == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool mounted() const { return m_mounted; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

} // namespace

class TestFileWriter : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_folder;

    QString pathOf(const QString &name) const { return m_folder->filePath(name); }

    // A character device to aim at. Root gets a null device node of its own in the test folder, so
    // that a writer which wrongly replaced it could never take the system's /dev/null with it; anyone
    // else cannot replace /dev/null anyway.
    QString nullDevice() const
    {
        const QString own = pathOf(QStringLiteral("null"));
        if (geteuid() == 0 && ::mknod(QFile::encodeName(own).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
            return own;
        return QStringLiteral("/dev/null");
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }
    void cleanup() { m_folder.reset(); }

    void shouldRefuseWhatIsNotARegularFileAndLeaveIt_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << QStringLiteral("fifo");
        QTest::newRow("symbolic link to a FIFO") << QStringLiteral("link to fifo");
        QTest::newRow("symbolic link to a character device") << QStringLiteral("link to a device");
        QTest::newRow("folder") << QStringLiteral("folder");
    }
    void shouldRefuseWhatIsNotARegularFileAndLeaveIt()
    {
        QFETCH(QString, kind);
        const QString name = pathOf(QStringLiteral("x.bmp"));
        const QString fifo = pathOf(kind == QStringLiteral("fifo") ? QStringLiteral("x.bmp") : QStringLiteral("p"));
        if (kind.contains(QStringLiteral("fifo")))
            QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0666) == 0);
        if (kind == QStringLiteral("link to fifo"))
            QVERIFY(QFile::link(fifo, name));
        if (kind == QStringLiteral("link to a device"))
            QVERIFY(QFile::link(nullDevice(), name));
        if (kind == QStringLiteral("folder"))
            QVERIFY(QDir().mkdir(name));
        const struct stat nameBefore = statOf(name, false);
        const struct stat targetBefore = statOf(name);
        const QStringList before = entriesOf(m_folder->path());

        const WriteOutcome outcome = WriteToFile(name, kNew);

        QVERIFY(!outcome.written);
        QVERIFY2(outcome.reason.contains(QStringLiteral("不是普通文件")), qPrintable(outcome.reason));
        const struct stat nameAfter = statOf(name, false);
        const struct stat targetAfter = statOf(name);
        QCOMPARE(nameAfter.st_mode, nameBefore.st_mode);
        QCOMPARE(nameAfter.st_ino, nameBefore.st_ino);
        QCOMPARE(targetAfter.st_mode, targetBefore.st_mode);
        QCOMPARE(targetAfter.st_ino, targetBefore.st_ino);
        QCOMPARE(targetAfter.st_rdev, targetBefore.st_rdev);
        QCOMPARE(entriesOf(m_folder->path()), before);
    }

    // Root replaces another user's file through a link to it: the link stays a link, and the file
    // keeps its owner, group and mode.
    void shouldKeepOwnerGroupAndModeOfAnotherUsersFile_data()
    {
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("the file itself") << false;
        QTest::newRow("through a symbolic link") << true;
    }
    void shouldKeepOwnerGroupAndModeOfAnotherUsersFile()
    {
        QFETCH(bool, throughLink);
        if (geteuid() != 0)
            QSKIP("only root can give a file to another user");
        const QString file = pathOf(QStringLiteral("theirs.bmp"));
        const QString link = pathOf(QStringLiteral("mine.bmp"));
        QVERIFY(writeAll(file, kOld));
        QVERIFY(::chown(QFile::encodeName(file).constData(), 65534, 65534) == 0);
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0640) == 0);
        QVERIFY(QFile::link(file, link));
        const QStringList before = entriesOf(m_folder->path());

        const WriteOutcome outcome = WriteToFile(throughLink ? link : file, kNew);

        QVERIFY2(outcome.written, qPrintable(outcome.reason));
        QCOMPARE(readAll(file), kNew);
        QVERIFY(S_ISLNK(statOf(link, false).st_mode));
        QCOMPARE(QFile::symLinkTarget(link), file);
        const struct stat after = statOf(file);
        QCOMPARE(after.st_uid, uid_t(65534));
        QCOMPARE(after.st_gid, gid_t(65534));
        QCOMPARE(after.st_mode & 07777, mode_t(0640));
        QCOMPARE(entriesOf(m_folder->path()), before);
    }

    void shouldKeepBothHardLinksOfAFileIdentical()
    {
        const QString first = pathOf(QStringLiteral("first.bmp"));
        const QString second = pathOf(QStringLiteral("second.bmp"));
        QVERIFY(writeAll(first, kOld));
        QVERIFY(::link(QFile::encodeName(first).constData(), QFile::encodeName(second).constData()) == 0);
        const ino_t inode = statOf(first).st_ino;

        const WriteOutcome outcome = WriteToFile(first, kNew);

        QVERIFY2(outcome.written, qPrintable(outcome.reason));
        QCOMPARE(readAll(first), kNew);
        QCOMPARE(readAll(second), kNew);
        QCOMPARE(statOf(first).st_ino, inode);
        QCOMPARE(statOf(second).st_ino, inode);
        QCOMPARE(statOf(first).st_nlink, nlink_t(2));
        QCOMPARE(entriesOf(m_folder->path()), (QStringList{QStringLiteral("first.bmp"), QStringLiteral("second.bmp")}));
    }

    // A new file gets the mode any program's new file gets: 0666 less the umask.
    void shouldCreateANewFileWithTheUsualMode()
    {
        const mode_t kept = ::umask(027);
        const WriteOutcome outcome = WriteToFile(pathOf(QStringLiteral("new.bmp")), kNew);
        ::umask(kept);
        QVERIFY2(outcome.written, qPrintable(outcome.reason));
        QCOMPARE(readAll(pathOf(QStringLiteral("new.bmp"))), kNew);
        QCOMPARE(statOf(pathOf(QStringLiteral("new.bmp"))).st_mode & 07777, mode_t(0640));
        QCOMPARE(entriesOf(m_folder->path()), QStringList{QStringLiteral("new.bmp")});
    }

    void shouldFollowADanglingLinkToCreateItsTarget()
    {
        const QString link = pathOf(QStringLiteral("link.bmp"));
        QVERIFY(QFile::link(QStringLiteral("made.bmp"), link)); // relative to the link's folder
        const WriteOutcome outcome = WriteToFile(link, kNew);
        QVERIFY2(outcome.written, qPrintable(outcome.reason));
        QVERIFY(S_ISLNK(statOf(link, false).st_mode));
        QCOMPARE(readAll(pathOf(QStringLiteral("made.bmp"))), kNew);
    }

    // The disk fills part-way: the old file stays as it was, nothing else is left behind, and the
    // reason names the cause. A file with a second link is written in place and then put back.
    void shouldKeepTheOldFileWhenTheDiskFillsPartWay_data()
    {
        QTest::addColumn<bool>("smallDisk");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("tmpfs, replaced") << true << false;
        QTest::newRow("tmpfs, written in place") << true << true;
        QTest::newRow("file size limit, replaced") << false << false;
        QTest::newRow("file size limit, written in place") << false << true;
    }
    void shouldKeepTheOldFileWhenTheDiskFillsPartWay()
    {
        QFETCH(bool, smallDisk);
        QFETCH(bool, inPlace);
        const QString folder = pathOf(QStringLiteral("disk"));
        QVERIFY(QDir().mkdir(folder));
        SmallDisk disk(folder);
        if (smallDisk && !disk.mounted())
            QSKIP("no tmpfs can be mounted here (needs root outside a locked-down container)");
        const QString target = folder + QStringLiteral("/old.bmp");
        QVERIFY(writeAll(target, kOld));
        if (inPlace)
            QVERIFY(::link(QFile::encodeName(target).constData(),
                           QFile::encodeName(folder + QStringLiteral("/other.bmp")).constData()) == 0);
        const QStringList before = entriesOf(folder);

        WriteOutcome outcome;
        {
            FileSizeLimit limit(smallDisk ? RLIM_INFINITY : 100000);
            QVERIFY(limit.active());
            outcome = WriteToFile(target, kNew);
        }

        QVERIFY(!outcome.written);
        const QString cause = errorText(smallDisk ? ENOSPC : EFBIG);
        QVERIFY2(outcome.reason.contains(cause), qPrintable(outcome.reason));
        QVERIFY2(!inPlace || outcome.reason.contains(QStringLiteral("原有内容已恢复")), qPrintable(outcome.reason));
        QCOMPARE(readAll(target), kOld);
        QCOMPARE(entriesOf(folder), before);
    }

    void shouldReportAMissingFolderAndCreateNothing()
    {
        const WriteOutcome outcome = WriteToFile(pathOf(QStringLiteral("missing/x.bmp")), kNew);
        QVERIFY(!outcome.written);
        QVERIFY2(outcome.reason.contains(errorText(ENOENT)), qPrintable(outcome.reason));
        QVERIFY(entriesOf(m_folder->path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFileWriter)
#include "tst_file_writer.moc"
