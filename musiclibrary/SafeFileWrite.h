#pragma once

// All-or-nothing change of one file: the change is made to a copy in the same
// folder (a hidden ".<name>.quillmoth-XXXXXX"), checked, flushed to disk and
// only then renamed over the original, keeping its permissions and owner. Up
// to the rename the original is never opened for writing; after a failure the
// copy is removed. A crash can leave a copy behind, never a damaged original,
// and the next opening of the folder removes it.

#include "musiclibrary/FileFailure.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

#include <sys/stat.h>

namespace musiclibrary {

class SafeFileWrite {
public:
    enum class Stage { Copy, Change, Verify, Flush, Replace };

    // Checks that path can be replaced (it exists, is writable, its folder
    // takes new files, it has no other hard links) and makes the copy. A
    // symbolic link is followed: the file it points to is changed and the link
    // stays. Throws FileFailure.
    // Copy: the copy starts as the original's bytes, to be changed in
    // place. Empty: it starts empty, to be written whole by the caller
    // (through copyFd()), with the original's permissions all the same.
    enum class Contents { Copy, Empty };
    explicit SafeFileWrite(const QString& path, Contents contents = Contents::Copy);
    ~SafeFileWrite();
    SafeFileWrite(const SafeFileWrite&) = delete;
    SafeFileWrite& operator=(const SafeFileWrite&) = delete;

    const QString& copyPath() const { return m_copyPath; }
    // The path of the file that will be replaced (a link resolved).
    const QString& targetPath() const { return m_path; }
    // The copy open for writing (Empty mode), -1 otherwise.
    int copyFd() const { return m_copyFd; }
    const struct stat& original() const { return m_original; }

    // Marks the start of a stage that the caller runs itself (Change, Verify),
    // so that an injected failure can strike there.
    void enter(Stage stage) const;

    // Flushes the copy and renames it over the original. Throws
    // FileFailure; the original is then unchanged. The folder itself is
    // flushed once for all the writes into it (see flushFolders()).
    void commit();

    // Flushes the folders whose files were replaced since the last call: a
    // replaced file's new name is durable only then. A write into another
    // folder flushes the folders before it, so that a run in folder order
    // flushes each folder once; the library does the rest when it closes.
    static void flushFolders();
    // A write into folder that did not go through commit() (an in-place
    // write): the folder counts as written in, as above.
    static void noteWriteInFolder(const QString& folder);

    // Tests only: the next writes fail at stage, as a real failure would.
    static void failAtForTesting(std::optional<Stage> stage);
    // Throws the injected failure when stage is the one asked for; the
    // in-place writes call it at their own stages.
    static void injectFailureAt(Stage stage);

    // The part of every temporary copy's name after the original name, for
    // whoever tidies up copies that a crash left behind.
    static QString copyNameMarker();
    // Whether a file name has the form of a temporary copy.
    static bool isCopyName(QStringView fileName);
    // Removes the copies in folder that a killed write left behind: those no
    // running write holds locked (on a file system without locks, those
    // older than a day). Returns how many went.
    static int removeStaleCopies(const QString& folder);
    // The same for one file, when a folder listing comes across it.
    static bool removeIfStaleCopy(const QString& path);
    // removeStaleCopies, at most once per folder and run of the program,
    // and the rollback of in-place writes cut off there.
    static void removeStaleCopiesOnce(const QString& folder);
    // For a name met while listing a folder: a stale copy goes, a stale
    // journal is rolled back. True when it was either.
    static bool tidyLeftover(const QString& path);

private:
    QString m_path;
    QString m_copyPath;
    struct stat m_original {};
    bool m_committed = false;
    int m_lockFd = -1; // holds the copy's lock while the write lives
    int m_copyFd = -1; // Empty mode: the copy, open for writing
};

// A whole new version of a file (an image that replaces another, or a new
// one) written beside it under the same kind of locked temporary name as
// the copies above, so that a killed write's leftover goes the same way;
// flushed to disk, and only then renamed into place. Until commit() the
// target is untouched; a failure or destruction without commit() removes
// the temporary file.
class NewFileWrite {
public:
    // mode: the new file's permissions. Throws FileFailure.
    NewFileWrite(const QString& target, mode_t mode);
    ~NewFileWrite();
    NewFileWrite(const NewFileWrite&) = delete;
    NewFileWrite& operator=(const NewFileWrite&) = delete;

    const QString& temporaryPath() const { return m_temporaryPath; }
    // Writes the contents and flushes them. Throws FileFailure.
    void write(const QByteArray& data);
    // For a replacement whose old file is moved away (to the Trash) before
    // commit(): the flushed file is renamed to a "ready" name first. Should
    // the process die once the old file is gone, the next look at the
    // folder puts the ready file in its place instead of removing it, so
    // that the folder never ends without the file. A ready file whose
    // target is still there goes (the old file was never moved). Throws
    // FileFailure.
    void markReady();
    // Whether a file name has the form of a ready new file.
    static bool isReadyName(QStringView fileName);
    // Completes or removes a ready file that no running write holds (see
    // markReady). True when it was handled.
    static bool completeIfStale(const QString& path);
    // Renames the flushed file over target and flushes the folder.
    void commit();

private:
    QString m_target;
    QString m_temporaryPath;
    int m_fd = -1;
    bool m_committed = false;
};

} // namespace musiclibrary
