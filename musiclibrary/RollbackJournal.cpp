#include "musiclibrary/RollbackJournal.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>

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

constexpr char MagicV1[] = "QMJ1";
constexpr char Magic[] = "QMJ2";
constexpr char WriteRecord = 'W';
constexpr char SettledMark = 'S';
// Magic, type, body length; the body; its checksum.
constexpr qsizetype RecordHeaderSize = 9;
const QString JournalPrefix = u".quillmoth-journal-"_s;
const QString ListEntryPrefix = u"journal-"_s;
constexpr qint64 MaxHeadBytes = 300 * 1024 * 1024;
// A journal is read whole when it is recovered.
constexpr qint64 MaxJournalBytes = qint64(1) << 31;

quint32 crc32Of(const char* data, qsizetype size) {
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
    for (qsizetype i = 0; i < size; ++i)
        crc = table[(crc ^ quint8(data[i])) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

quint32 crc32Of(const QByteArray& data) {
    return crc32Of(data.constData(), data.size());
}

QString systemReason() {
    if (errno == ENOSPC || errno == EDQUOT)
        return u"the disk is full."_s;
    return QString::fromLocal8Bit(std::strerror(errno)) + u'.';
}

FileFailure journalFailure(const QString& what) {
    if (errno == ENOSPC || errno == EDQUOT)
        return {LibraryError::WriteFailed, u"the disk is full."_s};
    return {LibraryError::WriteFailed, what + u": "_s + systemReason()};
}

bool writeAll(int fd, const QByteArray& data, qint64 offset) {
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

quint32 bigEndian32(const char* data) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | quint8(data[i]);
    return value;
}

QByteArray framed(char type, const QByteArray& body) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.writeRawData(Magic, 4);
    out << qint8(type) << quint32(body.size());
    out.writeRawData(body.constData(), body.size());
    out << crc32Of(bytes);
    return bytes;
}

bool validRecord(const JournalRecord& record) {
    return record.oldHead.size() == record.newHead.size() && !record.oldHead.isEmpty() &&
           record.oldHead.size() <= MaxHeadBytes && record.offset >= 0 &&
           record.fileSize >= record.offset + record.oldHead.size() &&
           !record.fileName.contains(u'/') && !record.fileName.isEmpty() &&
           record.fileName != u".."_s && record.fileName != u"."_s;
}

// A journal of an earlier version: one record, at the start of the file.
bool parseVersion1(const QByteArray& bytes, JournalRecord& record) {
    if (bytes.size() < 8 || !bytes.startsWith(MagicV1))
        return false;
    QDataStream tail(bytes.right(4));
    quint32 stored = 0;
    tail >> stored;
    if (stored != crc32Of(bytes.constData(), bytes.size() - 4))
        return false;
    QDataStream in(bytes.left(bytes.size() - 4));
    in.skipRawData(4);
    QByteArray name;
    in >> name >> record.fileSize >> record.oldHead >> record.newHead;
    record.fileName = QFile::decodeName(name);
    return in.status() == QDataStream::Ok && validRecord(record);
}

// Syncs every file system that holds one of fds, once each.
bool flushFileSystems(const QList<int>& fds) {
    QSet<dev_t> done;
    bool ok = true;
    for (int fd : fds) {
        struct stat info {};
        if (fd < 0 || ::fstat(fd, &info) != 0 || done.contains(info.st_dev))
            continue;
        done.insert(info.st_dev);
        if (::syncfs(fd) != 0)
            ok = false;
    }
    return ok;
}

QString defaultListFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           u"/Tarnwick/Quillmoth/Open journals"_s;
}

} // namespace

// The journals of this process, and the list of open journals, behind one
// lock: a flush covers all of them.
struct JournalRegistry {
    std::mutex mutex;
    QHash<QString, RollbackJournal*> open;
    // Closed, but their songs' bytes are durable only after the next flush.
    QList<RollbackJournal*> retiring;
    QString listFolder;
    // A list entry was written since the last flush.
    bool listChanged = false;

    static JournalRegistry& instance() {
        // Never destroyed: the journals are closed at exit, after other
        // statics are gone.
        static auto* registry = new JournalRegistry;
        return *registry;
    }

    QString listFolderPath() {
        if (listFolder.isEmpty())
            listFolder = defaultListFolder();
        return listFolder;
    }

    // The entry naming journalPath, so that the next start finds it even if
    // no scan comes to its folder again; empty when none can be made (the
    // journal still works, and a scan of its folder still finds it).
    QString addListEntry(const QString& journalPath) {
        const QString folder = listFolderPath();
        if (!QDir().mkpath(folder))
            return {};
        QByteArray name = QFile::encodeName(folder + u'/' + ListEntryPrefix) + "XXXXXX";
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0)
            return {};
        const bool ok = writeAll(fd, QFile::encodeName(journalPath), 0);
        ::close(fd);
        if (!ok) {
            ::unlink(name.constData());
            return {};
        }
        listChanged = true;
        return QFile::decodeName(name);
    }

    // One flush makes every record and every song written so far durable;
    // journals closed before it go, and records settled before it are
    // marked so.
    bool flush() {
        QList<int> fds;
        for (RollbackJournal* journal : std::as_const(open))
            fds.append(journal->m_fd);
        for (RollbackJournal* journal : std::as_const(retiring))
            fds.append(journal->m_fd);
        int listFd = -1;
        if (listChanged)
            listFd = ::open(QFile::encodeName(listFolderPath()).constData(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        fds.append(listFd);
        const bool ok = flushFileSystems(fds);
        if (listFd >= 0)
            ::close(listFd);
        if (!ok)
            return false;
        listChanged = false;
        for (RollbackJournal* journal : std::as_const(retiring)) {
            journal->remove();
            delete journal;
        }
        retiring.clear();
        for (RollbackJournal* journal : std::as_const(open))
            journal->markSettled();
        return true;
    }
};

QByteArray journalRecord(const JournalRecord& record) {
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out << QFile::encodeName(record.fileName) << qint64(record.fileSize) << qint64(record.offset)
        << record.oldHead << record.newHead;
    return framed(WriteRecord, body);
}

QByteArray settledMark(qint64 count) {
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out << qint64(count);
    return framed(SettledMark, body);
}

QList<JournalRecord> unsettledRecords(const QByteArray& journal) {
    if (JournalRecord record; parseVersion1(journal, record))
        return {record};
    QList<JournalRecord> records;
    qint64 settled = 0;
    qsizetype pos = 0;
    while (journal.size() - pos >= RecordHeaderSize + 4) {
        const char* head = journal.constData() + pos;
        if (std::memcmp(head, Magic, 4) != 0)
            break;
        const qint64 bodySize = bigEndian32(head + 5);
        if (bodySize > journal.size() - pos - RecordHeaderSize - 4)
            break;
        const qsizetype checked = RecordHeaderSize + bodySize;
        if (bigEndian32(head + checked) != crc32Of(head, checked))
            break;
        QDataStream in(QByteArray::fromRawData(head + RecordHeaderSize, bodySize));
        if (head[4] == WriteRecord) {
            JournalRecord record;
            QByteArray name;
            in >> name >> record.fileSize >> record.offset >> record.oldHead >> record.newHead;
            record.fileName = QFile::decodeName(name);
            if (in.status() != QDataStream::Ok || !validRecord(record))
                break;
            records.append(record);
        } else if (head[4] == SettledMark) {
            qint64 count = 0;
            in >> count;
            if (in.status() != QDataStream::Ok || count < 0 || count > records.size())
                break;
            settled = std::max(settled, count);
        } else {
            break;
        }
        pos += checked + 4;
    }
    return records.mid(settled);
}

RollbackJournal::RollbackJournal(QString path, int fd, QString listEntry)
    : m_path(std::move(path)), m_fd(fd), m_listEntry(std::move(listEntry)) {}

RollbackJournal::~RollbackJournal() {
    ::close(m_fd);
}

void RollbackJournal::remove() {
    ::unlink(QFile::encodeName(m_path).constData());
    if (!m_listEntry.isEmpty())
        ::unlink(QFile::encodeName(m_listEntry).constData());
}

RollbackJournal& RollbackJournal::forFolder(const QString& folder) {
    JournalRegistry& registry = JournalRegistry::instance();
    std::lock_guard lock(registry.mutex);
    if (RollbackJournal* journal = registry.open.value(folder)) {
        if (!journal->m_broken)
            return *journal;
        registry.open.remove(folder);
        registry.retiring.append(journal);
    }
    QByteArray name = QFile::encodeName(folder) + '/' + QFile::encodeName(JournalPrefix) + "XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        throw journalFailure(u"its folder takes no journal file"_s);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::unlink(name.constData());
        ::close(fd);
        throw journalFailure(u"its journal file cannot be locked"_s);
    }
    // The journal's name is durable before any song is touched: begin()
    // flushes the whole file system, folders included.
    const QString path = QFile::decodeName(name);
    auto* journal = new RollbackJournal(path, fd, registry.addListEntry(path));
    registry.open.insert(folder, journal);
    return *journal;
}

bool RollbackJournal::append(const QByteArray& bytes) {
    if (writeAll(m_fd, bytes, m_size)) {
        m_size += bytes.size();
        return true;
    }
    const int error = errno;
    // A torn record would hide every record after it: it goes again, or the
    // journal takes no more records.
    if (::ftruncate(m_fd, m_size) != 0)
        m_broken = true;
    errno = error;
    return false;
}

void RollbackJournal::begin(const JournalRecord& record) {
    JournalRegistry& registry = JournalRegistry::instance();
    std::lock_guard lock(registry.mutex);
    if (!validRecord(record))
        throw FileFailure{LibraryError::WriteFailed, u"its change is too large to journal."_s};
    if (!append(journalRecord(record)))
        throw journalFailure(u"its rollback journal could not be written"_s);
    ++m_begun;
    m_writing = true;
    if (!registry.flush())
        throw journalFailure(u"its rollback journal could not be flushed"_s);
}

void RollbackJournal::settle() {
    std::lock_guard lock(JournalRegistry::instance().mutex);
    m_writing = false;
    m_settled = m_begun;
}

void RollbackJournal::markSettled() {
    if (m_settled <= m_marked)
        return;
    // After a flush the settled songs are durable; should this mark be lost,
    // recovery rolls them back, which leaves them just as whole.
    if (append(settledMark(m_settled)))
        m_marked = m_settled;
}

void RollbackJournal::keep() {
    JournalRegistry& registry = JournalRegistry::instance();
    std::lock_guard lock(registry.mutex);
    registry.open.remove(registry.open.key(this));
    registry.retiring.removeOne(this);
    delete this; // the file and its list entry stay
}

void RollbackJournal::closeAll() {
    JournalRegistry& registry = JournalRegistry::instance();
    std::lock_guard lock(registry.mutex);
    const bool flushed = registry.flush();
    for (RollbackJournal* journal : std::as_const(registry.open)) {
        // Unflushed, a record still guards its song: it stays for recovery.
        if (flushed && !journal->m_writing)
            journal->remove();
        delete journal;
    }
    registry.open.clear();
    for (RollbackJournal* journal : std::as_const(registry.retiring))
        delete journal;
    registry.retiring.clear();
}

void RollbackJournal::closeAllBut(const QString& folder) {
    JournalRegistry& registry = JournalRegistry::instance();
    std::lock_guard lock(registry.mutex);
    for (auto it = registry.open.begin(); it != registry.open.end();) {
        if (it.key() == folder) {
            ++it;
            continue;
        }
        registry.retiring.append(it.value());
        it = registry.open.erase(it);
    }
}

void RollbackJournal::closeAllKeepingFilesForTesting() {
    JournalRegistry& registry = JournalRegistry::instance();
    std::lock_guard lock(registry.mutex);
    for (RollbackJournal* journal : std::as_const(registry.open))
        delete journal;
    registry.open.clear();
    for (RollbackJournal* journal : std::as_const(registry.retiring))
        delete journal;
    registry.retiring.clear();
}

bool RollbackJournal::isJournalName(QStringView fileName) {
    return fileName.startsWith(JournalPrefix) && fileName.size() == JournalPrefix.size() + 6;
}

namespace {

enum class Applied { Restored, NotOurs, Failed };

// Puts the old bytes of one record back into its song, when the song still
// holds what the write left there (a mix of the old and the new bytes).
Applied applyRecord(const QString& folder, const JournalRecord& record, QString* problem) {
    const QString song = folder + u'/' + record.fileName;
    const int fd = ::open(QFile::encodeName(song).constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return Applied::NotOurs;
        *problem = u"\"%1\" cannot be opened: %2"_s.arg(song, systemReason());
        return Applied::Failed;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    const qint64 length = record.oldHead.size();
    const QByteArray now = ::fstat(fd, &info) == 0 && info.st_size == record.fileSize
                               ? readAll(fd, length, record.offset)
                               : QByteArray();
    // A file changed since by somebody else is left alone.
    bool ours = now.size() == length;
    for (qint64 i = 0; ours && i < length; ++i)
        ours = now[i] == record.oldHead[i] || now[i] == record.newHead[i];
    if (!ours)
        return Applied::NotOurs;
    if (now == record.oldHead)
        return Applied::Restored;
    if (!writeAll(fd, record.oldHead, record.offset) || ::fdatasync(fd) != 0) {
        *problem = u"\"%1\" cannot be written: %2"_s.arg(song, systemReason());
        return Applied::Failed;
    }
    return Applied::Restored;
}

} // namespace

RollbackJournal::Recovery RollbackJournal::recover(const QString& path, QString* problem) {
    QString reason;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Recovery::Done : Recovery::Busy;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return Recovery::Busy; // its writer is still running
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return Recovery::Busy;
    if (info.st_size > MaxJournalBytes) {
        reason = u"the journal is too large to read."_s;
    } else {
        const QString folder = QFileInfo(path).absolutePath();
        const QList<JournalRecord> records = unsettledRecords(readAll(fd, info.st_size, 0));
        // Newest first: a song written twice gets its oldest bytes back.
        for (auto it = records.crbegin(); it != records.crend(); ++it)
            if (applyRecord(folder, *it, &reason) == Applied::Failed)
                break;
    }
    if (!reason.isEmpty()) {
        if (problem)
            *problem = reason;
        return Recovery::Kept;
    }
    // Records cut short mean their songs were never touched.
    ::unlink(name.constData());
    return Recovery::Done;
}

void RollbackJournal::setListFolder(const QString& folder) {
    JournalRegistry& registry = JournalRegistry::instance();
    std::lock_guard lock(registry.mutex);
    registry.listFolder = folder;
}

QString RollbackJournal::listFolder() {
    JournalRegistry& registry = JournalRegistry::instance();
    std::lock_guard lock(registry.mutex);
    return registry.listFolderPath();
}

QStringList RollbackJournal::recoverListed() {
    QStringList messages;
    const QString folder = listFolder();
    const QStringList entries =
        QDir(folder).entryList({ListEntryPrefix + u'*'}, QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        const QString entryPath = folder + u'/' + entry;
        QFile file(entryPath);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString journal = QFile::decodeName(file.read(64 * 1024));
        file.close();
        // Only what this program names a journal is ever read as one.
        if (!QFileInfo(journal).isAbsolute() || !isJournalName(QFileInfo(journal).fileName())) {
            QFile::remove(entryPath);
            continue;
        }
        QString problem;
        switch (recover(journal, &problem)) {
        case Recovery::Done:
            QFile::remove(entryPath);
            break;
        case Recovery::Kept:
            messages.append(u"A write that was cut off in \"%1\" could not be undone yet: %2 "
                            u"Its journal \"%3\" is kept and tried again at the next start."_s.arg(
                                QFileInfo(journal).absolutePath(), problem, journal));
            break;
        case Recovery::Busy:
            break;
        }
    }
    return messages;
}

namespace {

// A program that ends normally leaves no journal behind.
struct CloseAtExit {
    ~CloseAtExit() { RollbackJournal::closeAll(); }
} closeAtExit;

} // namespace

} // namespace musiclibrary
