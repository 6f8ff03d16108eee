#include "musiclibrary/SafeFileWrite.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

} // namespace

SafeFileWrite::SafeFileWrite(const QString& path) : m_path(path) {
    const QByteArray name = QFile::encodeName(path);
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

    Descriptor source(::open(name.constData(), O_RDONLY | O_CLOEXEC));
    if (source.get() < 0)
        throw FileFailure{LibraryError::Unreadable,
                          u"the file cannot be read: "_s + systemError(errno) + u'.'};

    const QFileInfo info(path);
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
    try {
        copyContents(source.get(), target.get(), original.st_size);
        // The copy takes the original's place: it gets its permissions and,
        // where the system allows, its owner.
        ::fchmod(target.get(), original.st_mode & 07777);
        if (::fchown(target.get(), original.st_uid, original.st_gid) != 0) {
            // Only a privileged process may give a file away; the file then
            // belongs to the user who changed it, as after any editor's save.
        }
        if (target.close() != 0)
            throw writeFailure(errno, u"the temporary copy could not be written"_s);
        enter(Stage::Copy);
    } catch (...) {
        ::unlink(copyName.constData());
        throw;
    }
}

SafeFileWrite::~SafeFileWrite() {
    if (!m_committed && !m_copyPath.isEmpty())
        ::unlink(QFile::encodeName(m_copyPath).constData());
}

void SafeFileWrite::enter(Stage stage) const {
    if (injectedFailure == stage)
        throw FileFailure{LibraryError::WriteFailed,
                          u"a failure was injected at stage %1."_s.arg(int(stage))};
}

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
    if (::rename(copyName.constData(), name.constData()) != 0)
        throw writeFailure(errno, u"the new version could not replace the file"_s);
    m_committed = true;

    // The rename itself is only durable once the folder is flushed; it has
    // happened either way, so a failure here changes nothing for the caller.
    Descriptor folder(::open(QFile::encodeName(QFileInfo(m_path).absolutePath()).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
}

void SafeFileWrite::failAtForTesting(std::optional<Stage> stage) {
    injectedFailure = stage;
}

QString SafeFileWrite::copyNameMarker() {
    return u".quillmoth-"_s;
}

} // namespace musiclibrary
