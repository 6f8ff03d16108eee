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
    explicit SafeFileWrite(const QString& path);
    ~SafeFileWrite();
    SafeFileWrite(const SafeFileWrite&) = delete;
    SafeFileWrite& operator=(const SafeFileWrite&) = delete;

    const QString& copyPath() const { return m_copyPath; }

    // Marks the start of a stage that the caller runs itself (Change, Verify),
    // so that an injected failure can strike there.
    void enter(Stage stage) const;

    // Flushes the copy, renames it over the original and flushes the folder.
    // Throws FileFailure; the original is then unchanged.
    void commit();

    // Tests only: the next writes fail at stage, as a real failure would.
    static void failAtForTesting(std::optional<Stage> stage);

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
    // removeStaleCopies, at most once per folder and run of the program.
    static void removeStaleCopiesOnce(const QString& folder);

private:
    QString m_path;
    QString m_copyPath;
    struct stat m_original {};
    bool m_committed = false;
    int m_lockFd = -1; // holds the copy's lock while the write lives
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
    // Renames the flushed file over target and flushes the folder.
    void commit();

private:
    QString m_target;
    QString m_temporaryPath;
    int m_fd = -1;
    bool m_committed = false;
};

} // namespace musiclibrary
