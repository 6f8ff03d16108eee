#include "musiclibrary/HeadWrite.h"

#include "musiclibrary/RollbackJournal.h"
#include "musiclibrary/SafeFileWrite.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace musiclibrary {

namespace {

InPlaceStop injectedStop = InPlaceStop::None;

constexpr qint64 MinPadding = 16 * 1024;
constexpr qint64 MaxPadding = 512 * 1024;
// The largest tag an ID3v2 header can announce.
constexpr qint64 MaxTagBytes = (qint64(1) << 28) - 1 + 10;

FileFailure systemFailure(const QString& what) {
    if (errno == ENOSPC || errno == EDQUOT)
        return {LibraryError::WriteFailed, u"the disk is full."_s};
    return {LibraryError::WriteFailed,
            what + u": "_s + QString::fromLocal8Bit(std::strerror(errno)) + u'.'};
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool writeAt(int fd, const QByteArray& data, qint64 offset) {
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n =
            ::pwrite(fd, data.constData() + done, size_t(data.size() - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

QByteArray readAt(int fd, qint64 length, qint64 offset) {
    QByteArray data(length, '\0');
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, data.data() + done, size_t(length - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    data.truncate(done);
    return data;
}

bool sameVersion(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The bytes after the old tag, copied by the kernel where it can.
void copyRest(int from, qint64 fromOffset, int to, qint64 toOffset, qint64 length) {
    loff_t in = fromOffset;
    loff_t out = toOffset;
    qint64 left = length;
    while (left > 0) {
        const ssize_t n = ::copy_file_range(from, &in, to, &out, size_t(left), 0);
        if (n > 0) {
            left -= n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)
            break;
        throw systemFailure(u"the new version could not be written"_s);
    }
    char buffer[1 << 16];
    while (left > 0) {
        const ssize_t n = ::pread(from, buffer, size_t(std::min<qint64>(left, sizeof buffer)), in);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw FileFailure{LibraryError::Unreadable, u"the file could not be read whole."_s};
        if (!writeAt(to, QByteArray::fromRawData(buffer, n), out))
            throw systemFailure(u"the new version could not be written"_s);
        in += n;
        out += n;
        left -= n;
    }
}

QByteArray paddedHead(const tagio::HeadRewrite& plan, qint64 size) {
    return plan.pad ? plan.pad(plan.tag, size) : tagio::paddedTag(plan.tag, size);
}

// Only the bytes that change are journalled and written: most of a tag's
// padding, and often much of the tag, is the same before and after.
void trimToChange(JournalRecord& record) {
    const QByteArray& before = record.oldHead;
    const QByteArray& after = record.newHead;
    qsizetype first = 0;
    while (first < before.size() && before[first] == after[first])
        ++first;
    qsizetype end = before.size();
    while (end > first && before[end - 1] == after[end - 1])
        --end;
    if (first == end) // nothing changes: one byte keeps the record a record
        end = std::min(first + 1, before.size());
    first = std::min(first, end - 1);
    record.offset += first;
    record.oldHead = before.mid(first, end - first);
    record.newHead = after.mid(first, end - first);
}

// newHead: the plan's tag padded to exactly plan.oldHeadSize bytes.
AudioFileFacts writeInPlace(const QString& path, const tagio::HeadRewrite& plan,
                            const QByteArray& newHead, const struct stat& seen) {
    using Stage = SafeFileWrite::Stage;
    const QByteArray name = QFile::encodeName(path);
    Fd song(::open(name.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (song.get() < 0)
        throw systemFailure(u"the file cannot be opened for writing"_s);
    struct stat now {};
    if (::fstat(song.get(), &now) != 0 || !sameVersion(now, seen))
        throw FileFailure{LibraryError::WriteFailed,
                          u"another program changed the file at the same time."_s};
    JournalRecord record{QFileInfo(path).fileName(), now.st_size, plan.offset,
                         readAt(song.get(), plan.oldHeadSize, plan.offset), newHead};
    if (record.oldHead.size() != plan.oldHeadSize)
        throw FileFailure{LibraryError::Unreadable, u"the file could not be read whole."_s};
    trimToChange(record);

    SafeFileWrite::injectFailureAt(Stage::Copy);
    SafeFileWrite::noteWriteInFolder(QFileInfo(path).absolutePath());
    RollbackJournal& journal = RollbackJournal::forFolder(QFileInfo(path).absolutePath());
    // Durable before the song is touched, together with the songs written
    // before it: the song itself is flushed by the next write's barrier, or
    // at the end of the run.
    journal.begin(record);
    if (injectedStop == InPlaceStop::AfterJournal)
        throw FileFailure{LibraryError::WriteFailed, u"stopped for a test after the journal."_s};
    try {
        SafeFileWrite::injectFailureAt(Stage::Change);
        if (!writeAt(song.get(), record.newHead, record.offset))
            throw systemFailure(u"the new tag could not be written"_s);
        SafeFileWrite::injectFailureAt(Stage::Flush);
        if (injectedStop == InPlaceStop::AfterSong)
            throw FileFailure{LibraryError::WriteFailed, u"stopped for a test after the song."_s};
        SafeFileWrite::injectFailureAt(Stage::Verify);
        AudioFileFacts facts = plan.verify(path);
        SafeFileWrite::injectFailureAt(Stage::Replace);
        journal.settle();
        return facts;
    } catch (...) {
        // The journal holds the old bytes: they go back now. Should that
        // fail too, the journal is kept for the next start to apply.
        if (injectedStop == InPlaceStop::None || injectedStop == InPlaceStop::UndoFails) {
            if (injectedStop == InPlaceStop::None &&
                writeAt(song.get(), record.oldHead, record.offset))
                journal.settle();
            else
                journal.keep();
        }
        throw;
    }
}

AudioFileFacts writeAnew(const QString& path, const tagio::HeadRewrite& plan,
                         const struct stat& seen) {
    SafeFileWrite write(path, SafeFileWrite::Contents::Empty);
    if (!sameVersion(write.original(), seen))
        throw FileFailure{LibraryError::WriteFailed,
                          u"another program changed the file at the same time."_s};
    write.enter(SafeFileWrite::Stage::Change);
    const qint64 room =
        plan.roomForNextChange > 0 ? plan.roomForNextChange : generousPadding(plan.tag);
    const QByteArray tag = paddedHead(plan, std::min(MaxTagBytes, plan.tag.size() + room));
    if (tag.isEmpty())
        throw FileFailure{LibraryError::WriteFailed, u"the new tag could not be laid out."_s};
    if (!writeAt(write.copyFd(), tag, 0))
        throw systemFailure(u"the new version could not be written"_s);
    Fd original(::open(QFile::encodeName(write.targetPath()).constData(), O_RDONLY | O_CLOEXEC));
    if (original.get() < 0)
        throw systemFailure(u"the file cannot be read"_s);
    copyRest(original.get(), plan.oldHeadSize, write.copyFd(), tag.size(),
             seen.st_size - plan.oldHeadSize);
    struct stat written {};
    if (::fstat(write.copyFd(), &written) != 0 ||
        written.st_size != tag.size() + seen.st_size - plan.oldHeadSize)
        throw FileFailure{LibraryError::WriteFailed,
                          u"the new version came out incomplete (is the disk full?)."_s};
    write.enter(SafeFileWrite::Stage::Verify);
    AudioFileFacts facts = plan.verify(write.copyPath());
    write.commit();
    return facts;
}

} // namespace

qint64 generousPadding(const QByteArray& tag) {
    // The largest frame is, in practice, the largest picture.
    qint64 largest = 0;
    qint64 pos = 10;
    const bool v22 = tag.size() > 3 && tag.at(3) == 2;
    const int headerSize = v22 ? 6 : 10;
    while (pos + headerSize <= tag.size() && tag.at(pos) != 0) {
        qint64 size = 0;
        if (v22) {
            for (int i = 3; i < 6; ++i)
                size = (size << 8) | quint8(tag.at(pos + i));
        } else if (tag.at(3) == 4) {
            for (int i = 4; i < 8; ++i)
                size = (size << 7) | (quint8(tag.at(pos + i)) & 0x7F);
        } else {
            for (int i = 4; i < 8; ++i)
                size = (size << 8) | quint8(tag.at(pos + i));
        }
        largest = std::max(largest, size);
        pos += headerSize + size;
    }
    return std::clamp(largest, MinPadding, MaxPadding);
}

AudioFileFacts writeHeadRewrite(const QString& path, const tagio::HeadRewrite& plan,
                                const struct stat& seen) {
    if (plan.tag.size() > MaxTagBytes)
        throw FileFailure{LibraryError::InvalidArgument,
                          u"its pictures together are too large for one tag."_s};
    // A read-only mark is the user's: it refuses every way of writing.
    if (!(seen.st_mode & S_IWUSR))
        throw FileFailure{LibraryError::WriteFailed, u"the file is read-only."_s};
    const QByteArray newHead = plan.oldHeadSize > 0 && plan.tag.size() <= plan.oldHeadSize
                                   ? paddedHead(plan, plan.oldHeadSize)
                                   : QByteArray();
    const bool fits = plan.oldHeadSize > 0 && newHead.size() == plan.oldHeadSize;
    if (!fits && plan.offset > 0)
        throw FileFailure{LibraryError::WriteFailed, u"the new tag does not fit its place."_s};
    if (fits) {
        // The file a link points to is the one written.
        char* resolved = ::realpath(QFile::encodeName(path).constData(), nullptr);
        if (!resolved)
            throw systemFailure(u"the file cannot be examined"_s);
        const QString target = QFile::decodeName(resolved);
        std::free(resolved);
        return writeInPlace(target, plan, newHead, seen);
    }
    return writeAnew(path, plan, seen);
}

void stopInPlaceWriteForTesting(InPlaceStop stop) {
    injectedStop = stop;
}

} // namespace musiclibrary
