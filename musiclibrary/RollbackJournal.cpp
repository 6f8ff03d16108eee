#include "musiclibrary/RollbackJournal.h"

#include "musiclibrary/SafeFileWrite.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace musiclibrary {

namespace {

constexpr char Magic[] = "QMJ1";
const QString JournalPrefix = u".quillmoth-journal-"_s;
constexpr qint64 MaxHeadBytes = 300 * 1024 * 1024;

quint32 crc32Of(const QByteArray& data) {
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
            t[i] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : data)
        crc = table[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

FileFailure journalFailure(const QString& what) {
    if (errno == ENOSPC || errno == EDQUOT)
        return {LibraryError::WriteFailed, u"the disk is full."_s};
    return {LibraryError::WriteFailed,
            what + u": "_s + QString::fromLocal8Bit(std::strerror(errno)) + u'.'};
}

bool writeAll(int fd, const QByteArray& data, qint64 offset) {
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n =
            ::pwrite(fd, data.constData() + done, size_t(data.size() - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray readAll(int fd, qint64 length, qint64 offset) {
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

std::mutex journalsMutex;
QHash<QString, RollbackJournal*>& journals() {
    static QHash<QString, RollbackJournal*> open;
    return open;
}

} // namespace

QByteArray journalRecord(const QString& fileName, qint64 fileSize, const QByteArray& oldHead,
                         const QByteArray& newHead) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.writeRawData(Magic, 4);
    out << QFile::encodeName(fileName) << qint64(fileSize) << oldHead << newHead;
    out << crc32Of(bytes);
    return bytes;
}

bool parseJournalRecord(const QByteArray& bytes, JournalRecord& record) {
    if (bytes.size() < 8 || !bytes.startsWith(Magic))
        return false;
    const QByteArray body = bytes.left(bytes.size() - 4);
    QDataStream tail(bytes.right(4));
    quint32 stored = 0;
    tail >> stored;
    if (stored != crc32Of(body))
        return false;
    QDataStream in(body);
    in.skipRawData(4);
    QByteArray name;
    in >> name >> record.fileSize >> record.oldHead >> record.newHead;
    record.fileName = QFile::decodeName(name);
    return in.status() == QDataStream::Ok && record.oldHead.size() == record.newHead.size() &&
           !record.fileName.contains(u'/') && !record.fileName.isEmpty();
}

RollbackJournal::RollbackJournal(QString path, int fd) : m_path(std::move(path)), m_fd(fd) {}

RollbackJournal::~RollbackJournal() {
    if (!m_path.isEmpty())
        ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
}

void RollbackJournal::closeAllKeepingFilesForTesting() {
    std::lock_guard lock(journalsMutex);
    for (RollbackJournal* journal : std::as_const(journals())) {
        journal->m_path.clear();
        delete journal;
    }
    journals().clear();
}

RollbackJournal& RollbackJournal::forFolder(const QString& folder) {
    std::lock_guard lock(journalsMutex);
    if (RollbackJournal* journal = journals().value(folder))
        return *journal;
    QByteArray name = QFile::encodeName(folder) + '/' + QFile::encodeName(JournalPrefix) + "XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        throw journalFailure(u"its folder takes no journal file"_s);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::unlink(name.constData());
        ::close(fd);
        throw journalFailure(u"its journal file cannot be locked"_s);
    }
    // The journal's own name must survive a crash, or its records could not
    // be found: the folder is flushed once, when the journal is made.
    const int dir =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    auto* journal = new RollbackJournal(QFile::decodeName(name), fd);
    journals().insert(folder, journal);
    return *journal;
}

void RollbackJournal::closeAll() {
    std::lock_guard lock(journalsMutex);
    for (RollbackJournal* journal : std::as_const(journals()))
        delete journal;
    journals().clear();
}

void RollbackJournal::closeAllBut(const QString& folder) {
    std::lock_guard lock(journalsMutex);
    for (auto it = journals().begin(); it != journals().end();) {
        if (it.key() == folder) {
            ++it;
            continue;
        }
        delete it.value();
        it = journals().erase(it);
    }
}

void RollbackJournal::record(const QString& fileName, qint64 fileSize, const QByteArray& oldHead,
                             const QByteArray& newHead) {
    const QByteArray bytes = journalRecord(fileName, fileSize, oldHead, newHead);
    if (::ftruncate(m_fd, 0) != 0 || !writeAll(m_fd, bytes, 0) || ::fdatasync(m_fd) != 0)
        throw journalFailure(u"its rollback journal could not be written"_s);
}

void RollbackJournal::drop() {
    ::ftruncate(m_fd, 0);
}

bool RollbackJournal::isJournalName(QStringView fileName) {
    return fileName.startsWith(JournalPrefix) && fileName.size() == JournalPrefix.size() + 6;
}

bool RollbackJournal::recoverIfStale(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return false; // its writer is still running
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > 2 * MaxHeadBytes)
        return false;
    JournalRecord record;
    if (parseJournalRecord(readAll(fd, info.st_size, 0), record)) {
        const QString song = QFileInfo(path).absolutePath() + u'/' + record.fileName;
        const int songFd =
            ::open(QFile::encodeName(song).constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (songFd >= 0) {
            struct stat songInfo {};
            const qint64 length = record.oldHead.size();
            const QByteArray now =
                ::fstat(songFd, &songInfo) == 0 && songInfo.st_size == record.fileSize
                    ? readAll(songFd, length, 0)
                    : QByteArray();
            // Only a head made of the old and new bytes is ours to put back:
            // a file changed since by somebody else is left alone.
            bool ours = now.size() == length;
            for (qint64 i = 0; ours && i < length; ++i)
                ours = now[i] == record.oldHead[i] || now[i] == record.newHead[i];
            if (ours && now != record.oldHead && writeAll(songFd, record.oldHead, 0))
                ::fdatasync(songFd);
            ::close(songFd);
        }
    }
    // A record cut short means the song was never touched.
    ::unlink(name.constData());
    return true;
}

} // namespace musiclibrary
