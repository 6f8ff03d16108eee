#pragma once

// The rollback journal of in-place writes. Before bytes of a song file are
// written over, the bytes they replace (and the ones replacing them) are
// appended to a journal file in the song's folder and made durable; a write
// that was cut off leaves its record behind, and the song gets its old bytes
// back the next time the engine comes to that folder, or at the next start
// of either program (every open journal is listed in the data folder).
//
// Durability is grouped: one flush of the file system makes a write's record
// durable together with every song written before it, so a run of in-place
// writes costs about one flush a song. A record is settled (and skipped by
// recovery) only after a flush has made its song's final bytes durable.
//
// One journal file per folder and writing process, locked while the process
// uses it, so that another process never rolls back a write still running.
// A journal whose record could be neither completed nor undone is kept as
// it is until recovery applies it; nothing ever writes over it.

#include "musiclibrary/FileFailure.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace musiclibrary {

// One in-place write: the bytes at offset of fileName (in the journal's
// folder), which was fileSize bytes long, were oldHead and become newHead.
struct JournalRecord {
    QString fileName;
    qint64 fileSize = 0;
    qint64 offset = 0;
    QByteArray oldHead;
    QByteArray newHead;
};

class RollbackJournal {
public:
    // The journal of this process for folder, made (and made findable after
    // a crash) on first use. Throws FileFailure.
    static RollbackJournal& forFolder(const QString& folder);

    // Records a write that is about to start and makes the record durable,
    // together with every earlier write of this process. Throws FileFailure;
    // then the song must not be touched.
    void begin(const JournalRecord& record);
    // The write begun last is complete (or undone): its record is dropped
    // once a later flush has made the song's bytes durable.
    void settle();
    // The write begun last could be neither completed nor undone: the
    // journal is kept, record and all, for recovery; later writes in the
    // folder get a new journal.
    void keep();

    // Makes every write durable and removes every journal of this process.
    static void closeAll();
    // The same for every folder but folder, without a flush of its own: those
    // journals go after the next flush (the next write's).
    static void closeAllBut(const QString& folder);
    // Tests only: forgets the journals as a killed process would, leaving
    // their files (and records) behind, unlocked.
    static void closeAllKeepingFilesForTesting();

    // Whether a file name has the form of a journal.
    static bool isJournalName(QStringView fileName);

    enum class Recovery { Busy, Done, Kept };
    // Rolls back what the journal at path records, unless a running process
    // holds it, and removes it. Kept: a record could not be applied (the
    // song cannot be written); the journal stays for another attempt.
    static Recovery recover(const QString& path, QString* problem = nullptr);

    // Where the list of open journals is kept (tests; the default is the
    // program's data folder).
    static void setListFolder(const QString& folder);
    static QString listFolder();
    // Recovers every journal on the list whose writer is gone. Returns a
    // message for each that had to be kept.
    static QStringList recoverListed();

    ~RollbackJournal();
    RollbackJournal(const RollbackJournal&) = delete;
    RollbackJournal& operator=(const RollbackJournal&) = delete;

private:
    RollbackJournal(QString path, int fd, QString listEntry);
    bool append(const QByteArray& bytes);
    void markSettled();
    void remove();

    QString m_path;
    int m_fd;
    QString m_listEntry;
    qint64 m_size = 0;
    qint64 m_begun = 0;
    qint64 m_settled = 0;
    qint64 m_marked = 0;
    bool m_writing = false;
    bool m_broken = false;

    friend struct JournalRegistry;
};

// The bytes of the journal records, and reading a journal back; exposed for
// tests.
QByteArray journalRecord(const JournalRecord& record);
QByteArray settledMark(qint64 count);
// The records of a journal that are not settled, in the order written. A
// record cut short or damaged ends the journal (its write never started,
// and nothing follows it).
QList<JournalRecord> unsettledRecords(const QByteArray& journal);

} // namespace musiclibrary
