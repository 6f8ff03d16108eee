#include "musiclibrary/SafeFileWrite.h"

#include "musiclibrary/RollbackJournal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace musiclibrary {

namespace {

std::optional<SafeFileWrite::Stage> injectedFailure;

// Room for the marker and the random part within the usual 255-byte limit.
constexpr qsizetype MaxNameBytesInCopyName = 200;

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

FileFailure writeFailure(int error, const QString& what) {
    if (error == ENOSPC || error == EDQUOT)
        return {LibraryError::WriteFailed, u"the disk is full."_s};
    return {LibraryError::WriteFailed, what + u": "_s + systemError(error) + u'.'};
}

// Closes the descriptor however the scope is left.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // close() reports write errors that an earlier call did not.
    int close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

// Copies everything from source to target; the kernel's in-file copy first
// (a reflink or a server-side copy where the file system has them).
void copyContents(int source, int target, qint64 size) {
    qint64 copied = 0;
    bool kernelCopy = true;
    while (copied < size) {
        if (kernelCopy) {
            const ssize_t n = ::copy_file_range(source, nullptr, target, nullptr,
                                                static_cast<size_t>(size - copied), 0);
            if (n > 0) {
                copied += n;
                continue;
            }
            if (n == 0)
                break; // the file became shorter; the size check below reports it
            if (errno == EINTR)
                continue;
            if (copied == 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                kernelCopy = false;
                continue;
            }
            throw writeFailure(errno, u"the temporary copy could not be written"_s);
        }
        char buffer[1 << 16];
        const ssize_t n = ::read(source, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw FileFailure{LibraryError::Unreadable,
                              u"the file cannot be read: "_s + systemError(errno) + u'.'};
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(target, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0)
                throw writeFailure(errno, u"the temporary copy could not be written"_s);
            done += w;
        }
        copied += n;
    }
    struct stat written {};
    if (::fstat(target, &written) != 0 || written.st_size != size)
        throw FileFailure{LibraryError::WriteFailed,
                          u"the temporary copy came out incomplete (is the disk full?)."_s};
}

// Extended attributes travel with the bytes: user attributes (tags of file
// managers, checksums) and the access control list would otherwise vanish
// with the rename. Attributes only the system may set (security.*, trusted.*)
// are set again by the system or need privileges; those are left to it.
void copyExtendedAttributes(int source, int target) {
    const ssize_t listSize = ::flistxattr(source, nullptr, 0);
    if (listSize <= 0)
        return; // none, or a file system without them
    QByteArray names(listSize, '\0');
    const ssize_t got = ::flistxattr(source, names.data(), static_cast<size_t>(names.size()));
    if (got < 0)
        return;
    names.truncate(got);
    for (const QByteArray& name : names.split('\0')) {
        if (name.isEmpty())
            continue;
        const bool mustKeep = name.startsWith("user.") || name.startsWith("system.posix_acl");
        const ssize_t valueSize = ::fgetxattr(source, name.constData(), nullptr, 0);
        QByteArray value(std::max<ssize_t>(valueSize, 0), '\0');
        const ssize_t valueGot = valueSize < 0 ? -1
                                               : ::fgetxattr(source, name.constData(), value.data(),
                                                             static_cast<size_t>(value.size()));
        if (valueGot >= 0 && ::fsetxattr(target, name.constData(), value.constData(),
                                         static_cast<size_t>(valueGot), 0) == 0)
            continue;
        if (mustKeep)
            throw FileFailure{LibraryError::WriteFailed,
                              u"its extended attribute %1 could not be kept: %2."_s.arg(
                                  QString::fromLatin1(name), systemError(errno))};
    }
}

// What identifies one version of a file: another program's write between the
// copy and the rename would otherwise be undone by the rename.
bool sameVersion(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Copies younger than this may belong to a write that is still running.
constexpr qint64 StaleCopyAgeSeconds = 24 * 60 * 60;

} // namespace

SafeFileWrite::SafeFileWrite(const QString& path, Contents contents) {
    // A symbolic link stays a link: the file it points to is the one that
    // changes, and the copy is made beside that file, on its file system.
    char* resolved = ::realpath(QFile::encodeName(path).constData(), nullptr);
    if (!resolved) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw FileFailure{LibraryError::NotFound, u"the file does not exist."_s};
        throw FileFailure{LibraryError::Failed,
                          u"the file cannot be examined: "_s + systemError(errno) + u'.'};
    }
    const QByteArray name(resolved);
    std::free(resolved);
    m_path = QFile::decodeName(name);
    struct stat original {};
    if (::stat(name.constData(), &original) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw FileFailure{LibraryError::NotFound, u"the file does not exist."_s};
        throw FileFailure{LibraryError::Failed,
                          u"the file cannot be examined: "_s + systemError(errno) + u'.'};
    }
    if (!S_ISREG(original.st_mode))
        throw FileFailure{LibraryError::InvalidArgument, u"it is not a regular file."_s};
    if (!(original.st_mode & S_IWUSR))
        throw FileFailure{LibraryError::WriteFailed, u"the file is read-only."_s};
    // Replacing a file with other hard links would cut it off from them: the
    // other names would keep the old version. Writing in place instead could
    // leave a half-written file, so such files are refused.
    if (original.st_nlink > 1)
        throw FileFailure{LibraryError::WriteFailed,
                          u"it has %1 hard links, and replacing it would separate them."_s.arg(
                              qulonglong(original.st_nlink))};
    // The replacement would belong to whoever wrote it; only a privileged
    // process can hand it back, so another user's file is refused up front.
    if (original.st_uid != ::geteuid() && ::geteuid() != 0)
        throw FileFailure{LibraryError::WriteFailed, u"the file belongs to another user."_s};
    m_original = original;
    removeStaleCopiesOnce(QFileInfo(m_path).absolutePath());

    Descriptor source(::open(name.constData(), O_RDONLY | O_CLOEXEC));
    if (source.get() < 0)
        throw FileFailure{LibraryError::Unreadable,
                          u"the file cannot be read: "_s + systemError(errno) + u'.'};

    const QFileInfo info(m_path);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    QByteArray copyName = folder + "/." +
                          QFile::encodeName(info.fileName()).left(MaxNameBytesInCopyName) +
                          QFile::encodeName(copyNameMarker()) + "XXXXXX";
    Descriptor target(::mkostemp(copyName.data(), O_CLOEXEC));
    if (target.get() < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM || error == EROFS)
            throw FileFailure{LibraryError::WriteFailed,
                              u"its folder is not writable, so no temporary copy can be made."_s};
        throw writeFailure(error, u"no temporary copy can be made"_s);
    }
    m_copyPath = QFile::decodeName(copyName);
    // The lock says "a write is using this copy" for as long as this
    // process lives: a copy nobody holds was left by a killed write and can
    // go at once (the kernel drops the lock with the process).
    m_lockFd = ::dup(target.get());
    if (m_lockFd >= 0 && ::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
    }
    try {
        if (contents == Contents::Copy)
            copyContents(source.get(), target.get(), original.st_size);
        // The copy takes the original's place: it gets its permissions and,
        // where the system allows, its owner.
        // Owner and group first: changing them can clear set-id bits that
        // the permissions then restore.
        if (::fchown(target.get(), original.st_uid, original.st_gid) != 0)
            throw FileFailure{LibraryError::WriteFailed, u"its owner and group cannot be kept: "_s +
                                                             systemError(errno) + u'.'};
        if (::fchmod(target.get(), original.st_mode & 07777) != 0)
            throw writeFailure(errno, u"its permissions cannot be kept"_s);
        copyExtendedAttributes(source.get(), target.get());
        if (contents == Contents::Empty) {
            m_copyFd = ::dup(target.get());
            if (m_copyFd < 0)
                throw writeFailure(errno, u"the temporary copy could not be kept open"_s);
        }
        if (target.close() != 0)
            throw writeFailure(errno, u"the temporary copy could not be written"_s);
        enter(Stage::Copy);
    } catch (...) {
        ::unlink(copyName.constData());
        if (m_lockFd >= 0)
            ::close(m_lockFd);
        m_lockFd = -1;
        throw;
    }
}

SafeFileWrite::~SafeFileWrite() {
    if (!m_committed && !m_copyPath.isEmpty())
        ::unlink(QFile::encodeName(m_copyPath).constData());
    if (m_copyFd >= 0)
        ::close(m_copyFd);
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

void SafeFileWrite::injectFailureAt(Stage stage) {
    if (injectedFailure == stage)
        throw FileFailure{LibraryError::WriteFailed,
                          u"a failure was injected at stage %1."_s.arg(int(stage))};
}

void SafeFileWrite::enter(Stage stage) const {
    if (injectedFailure == stage)
        throw FileFailure{LibraryError::WriteFailed,
                          u"a failure was injected at stage %1."_s.arg(int(stage))};
    // The copy is complete: the disk can take it while it is checked, so
    // that the flush before the rename has less left to wait for.
    if (stage == Stage::Verify && !m_copyPath.isEmpty()) {
        const int fd = ::open(QFile::encodeName(m_copyPath).constData(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
            ::close(fd);
        }
    }
}

// Remembers folder for flushFolders(), flushing the folders before it.
void deferFolderFlush(const QString& folder);

void SafeFileWrite::commit() {
    const QByteArray copyName = QFile::encodeName(m_copyPath);
    const QByteArray name = QFile::encodeName(m_path);

    enter(Stage::Flush);
    {
        Descriptor copy(::open(copyName.constData(), O_RDONLY | O_CLOEXEC));
        if (copy.get() < 0 || ::fdatasync(copy.get()) != 0)
            throw writeFailure(errno, u"the new version could not be flushed to disk"_s);
    }

    enter(Stage::Replace);
    struct stat original {};
    if (::stat(name.constData(), &original) != 0)
        throw FileFailure{LibraryError::NotFound,
                          u"the file disappeared while it was being changed."_s};
    if (!sameVersion(original, m_original))
        throw FileFailure{LibraryError::WriteFailed,
                          u"another program changed the file at the same time."_s};
    if (::rename(copyName.constData(), name.constData()) != 0)
        throw writeFailure(errno, u"the new version could not replace the file"_s);
    m_committed = true;
    deferFolderFlush(QFileInfo(m_path).absolutePath());
}

namespace {

std::mutex pendingMutex;
// The folder written in last, and whether a file was renamed there: only a
// rename needs the folder flushed. In-place writes are made durable by the
// rollback journal's flushes of the whole file system.
QString pendingFolder;
bool pendingRename = false;

// False, with errno telling why, when the folder could not be flushed.
bool flushFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return flushed;
}

} // namespace

namespace {

void deferFolderWork(const QString& folder, bool renamed) {
    QString earlier;
    bool flushEarlier = false;
    {
        std::lock_guard lock(pendingMutex);
        if (pendingFolder == folder) {
            pendingRename = pendingRename || renamed;
            return;
        }
        earlier = std::exchange(pendingFolder, folder);
        flushEarlier = std::exchange(pendingRename, renamed);
    }
    if (flushEarlier)
        flushFolder(earlier);
    // A write in another folder: the journals of the folders before it have
    // done their work.
    if (!earlier.isEmpty())
        RollbackJournal::closeAllBut(folder);
}

} // namespace

void deferFolderFlush(const QString& folder) {
    deferFolderWork(folder, true);
}

void SafeFileWrite::noteWriteInFolder(const QString& folder) {
    deferFolderWork(folder, false);
}

void SafeFileWrite::flushFolders() {
    QString folder;
    bool renamed = false;
    {
        std::lock_guard lock(pendingMutex);
        folder = std::exchange(pendingFolder, QString());
        renamed = std::exchange(pendingRename, false);
    }
    if (renamed)
        flushFolder(folder);
    // One flush makes the in-place writes durable; their journals go.
    RollbackJournal::closeAll();
}

void SafeFileWrite::failAtForTesting(std::optional<Stage> stage) {
    injectedFailure = stage;
}

QString SafeFileWrite::copyNameMarker() {
    return u".quillmoth-"_s;
}

bool SafeFileWrite::isCopyName(QStringView fileName) {
    // "." + original name + marker + six random characters.
    const qsizetype marker = fileName.lastIndexOf(copyNameMarker());
    return fileName.startsWith(u'.') && marker > 0 &&
           fileName.size() == marker + copyNameMarker().size() + 6;
}

bool SafeFileWrite::removeIfStaleCopy(const QString& path) {
    const QFileInfo entry(path);
    if (!isCopyName(entry.fileName()) || entry.isSymLink() || !entry.isFile())
        return false;
    const QByteArray name = QFile::encodeName(path);
    Descriptor copy(::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (copy.get() < 0)
        return false;
    if (::flock(copy.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            return false; // a running write holds it
        // A file system without locks: only age tells a dead copy.
        const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-StaleCopyAgeSeconds);
        return entry.lastModified() < limit && ::unlink(name.constData()) == 0;
    }
    // Still the file that was locked, not one that replaced it meanwhile.
    struct stat opened {};
    struct stat named {};
    if (::fstat(copy.get(), &opened) != 0 || ::lstat(name.constData(), &named) != 0 ||
        opened.st_ino != named.st_ino || opened.st_dev != named.st_dev)
        return false;
    return ::unlink(name.constData()) == 0;
}

void SafeFileWrite::removeStaleCopiesOnce(const QString& folder) {
    // A killed write's copy is removed the next time the engine comes across
    // its folder; looking once per folder and run is enough, since listing
    // the folder before every write of a long series would cost more than
    // the write.
    static std::mutex mutex;
    static QSet<QString> cleaned;
    {
        std::lock_guard lock(mutex);
        if (cleaned.contains(folder))
            return;
        cleaned.insert(folder);
    }
    removeStaleCopies(folder);
}

int SafeFileWrite::removeStaleCopies(const QString& folder) {
    int removed = 0;
    // Copies are named ".<song><marker>XXXXXX", journals ".quillmoth-journal-XXXXXX".
    const QStringList names =
        QDir(folder).entryList({u".*quillmoth-*"_s}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (tidyLeftover(folder + u'/' + name))
            ++removed;
    }
    return removed;
}

bool SafeFileWrite::tidyLeftover(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    if (RollbackJournal::isJournalName(name))
        return RollbackJournal::recover(path) == RollbackJournal::Recovery::Done;
    if (NewFileWrite::isReadyName(name))
        return NewFileWrite::completeIfStale(path);
    return removeIfStaleCopy(path);
}

namespace {

const QString ReadyMarker = QStringLiteral(".quillmoth-ready-");

// The name a ready file stands for: ".<target><marker>XXXXXX".
QString readyTargetName(QStringView fileName) {
    const qsizetype marker = fileName.lastIndexOf(ReadyMarker);
    return fileName.mid(1, marker - 1).toString();
}

} // namespace

bool NewFileWrite::isReadyName(QStringView fileName) {
    const qsizetype marker = fileName.lastIndexOf(ReadyMarker);
    return fileName.startsWith(u'.') && marker > 1 &&
           fileName.size() == marker + ReadyMarker.size() + 6;
}

bool NewFileWrite::completeIfStale(const QString& path) {
    const QFileInfo entry(path);
    if (!isReadyName(entry.fileName()) || entry.isSymLink() || !entry.isFile())
        return false;
    const QByteArray name = QFile::encodeName(path);
    Descriptor ready(::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (ready.get() < 0 || ::flock(ready.get(), LOCK_EX | LOCK_NB) != 0)
        return false; // a running write holds it (or locks cannot tell: left alone)
    const QByteArray target =
        QFile::encodeName(entry.absolutePath() + u'/' + readyTargetName(entry.fileName()));
    struct stat existing {};
    if (::lstat(target.constData(), &existing) == 0)
        return ::unlink(name.constData()) == 0;
    if (::rename(name.constData(), target.constData()) != 0)
        return false;
    flushFolder(entry.absolutePath());
    return true;
}

NewFileWrite::NewFileWrite(const QString& target, mode_t mode) : m_target(target) {
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    SafeFileWrite::removeStaleCopiesOnce(folder);
    QByteArray name = QFile::encodeName(folder) + "/." +
                      QFile::encodeName(info.fileName()).left(MaxNameBytesInCopyName) +
                      QFile::encodeName(SafeFileWrite::copyNameMarker()) + "XXXXXX";
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM || error == EROFS)
            throw FileFailure{LibraryError::WriteFailed, u"the folder is not writable."_s};
        throw writeFailure(error, u"no temporary file can be made"_s);
    }
    m_temporaryPath = QFile::decodeName(name);
    // Held until the file is in place or gone: see SafeFileWrite.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0 || ::fchmod(m_fd, mode & 07777) != 0) {
        const int error = errno;
        ::unlink(name.constData());
        ::close(m_fd);
        m_fd = -1;
        throw writeFailure(error, u"the temporary file cannot be prepared"_s);
    }
}

NewFileWrite::~NewFileWrite() {
    if (!m_committed && !m_temporaryPath.isEmpty())
        ::unlink(QFile::encodeName(m_temporaryPath).constData());
    if (m_fd >= 0)
        ::close(m_fd);
}

void NewFileWrite::write(const QByteArray& data) {
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(m_fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw writeFailure(n < 0 ? errno : ENOSPC, u"the file could not be written"_s);
        done += n;
    }
    if (::fdatasync(m_fd) != 0)
        throw writeFailure(errno, u"the file could not be flushed to disk"_s);
}

void NewFileWrite::markReady() {
    const QFileInfo info(m_target);
    const QByteArray fileName = QFile::encodeName(info.fileName());
    // A name cut short could not say which file it stands for: such a file
    // stays an ordinary temporary one.
    if (fileName.size() > MaxNameBytesInCopyName)
        return;
    const QString ready =
        info.absolutePath() + u"/."_s + info.fileName() + ReadyMarker + m_temporaryPath.right(6);
    if (::rename(QFile::encodeName(m_temporaryPath).constData(),
                 QFile::encodeName(ready).constData()) != 0)
        throw writeFailure(errno, u"the new file could not be made ready"_s);
    m_temporaryPath = ready;
    // The ready name must be durable before the old file goes.
    if (!flushFolder(info.absolutePath()))
        throw writeFailure(errno, u"the folder could not be flushed to disk"_s);
}

void NewFileWrite::commit() {
    if (::rename(QFile::encodeName(m_temporaryPath).constData(),
                 QFile::encodeName(m_target).constData()) != 0)
        throw writeFailure(errno, u"the new file could not take its place"_s);
    m_committed = true;
    flushFolder(QFileInfo(m_target).absolutePath());
}

} // namespace musiclibrary
