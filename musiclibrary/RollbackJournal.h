#pragma once

// The rollback journal of in-place writes. Before a tag is written over the
// start of a song file, the bytes it replaces (and the ones replacing them)
// are saved and flushed to a journal file in the song's folder; once the
// new bytes are flushed the record is dropped. A write that was cut off
// leaves the record behind, and the next time the engine comes to that
// folder the song gets its old bytes back, before anything reads it.
//
// One journal file per folder and writing process, locked while the process
// uses it, so that another process never rolls back a write still running.

#include "musiclibrary/FileFailure.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace musiclibrary {

class RollbackJournal {
public:
    // The journal of this process for folder, made (and the folder flushed,
    // so that the journal's own name is durable) on first use. Throws
    // FileFailure.
    static RollbackJournal& forFolder(const QString& folder);
    // Closes and removes every journal of this process (their records are
    // all dropped by then).
    static void closeAll();
    // Tests only: forgets the journals as a killed process would, leaving
    // their files (and records) behind, unlocked.
    static void closeAllKeepingFilesForTesting();
    // The same for every folder but folder.
    static void closeAllBut(const QString& folder);

    // Saves and flushes what a write of newHead over the start of the file
    // fileName (in the journal's folder) of fileSize bytes replaces.
    void record(const QString& fileName, qint64 fileSize, const QByteArray& oldHead,
                const QByteArray& newHead);
    // The write is done (or undone): the record goes. Not flushed: should
    // the record survive a crash, rolling back gives the old file again,
    // which is as whole as the new one.
    void drop();

    // Whether a file name has the form of a journal.
    static bool isJournalName(QStringView fileName);
    // Rolls back what the journal at path records, unless a running process
    // holds it, and removes it. Returns true when it was handled.
    static bool recoverIfStale(const QString& path);

    ~RollbackJournal();
    RollbackJournal(const RollbackJournal&) = delete;
    RollbackJournal& operator=(const RollbackJournal&) = delete;

private:
    RollbackJournal(QString path, int fd);

    QString m_path;
    int m_fd;
};

// The bytes of a journal record, and reading one back; exposed for tests.
QByteArray journalRecord(const QString& fileName, qint64 fileSize, const QByteArray& oldHead,
                         const QByteArray& newHead);
struct JournalRecord {
    QString fileName;
    qint64 fileSize = 0;
    QByteArray oldHead;
    QByteArray newHead;
};
// False for a record that was cut short or is damaged (its write never
// finished, so the song was not touched).
bool parseJournalRecord(const QByteArray& bytes, JournalRecord& record);

} // namespace musiclibrary
