#include "support/FileShell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace support {

namespace {

// A dangling symbolic link is still something to remove.
bool entryExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

int RecycleFile(const QString& path, bool confirm, MessageBoxes* boxes, QString* whereInTrash) {
    if (path.isEmpty() || !entryExists(path))
        return RecycleGone;
    if (confirm && boxes) {
        const int answer = boxes->show(u"Are you sure you want to move this file to the Trash?"_s +
                                           u"\n\n"_s + QDir::toNativeSeparators(path),
                                       u"Move to Trash"_s, MbYesNo, MbExclamation);
        if (answer != IdYes)
            return RecycleAborted;
    }
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists()) {
        // The trash refuses links that point nowhere; such a link holds no
        // data that could be wanted back.
        return QFile::remove(path) ? RecycleGone : RecycleFailed;
    }
    // Qt makes the home trash only when the folder it lives in exists, which
    // on a new account it may not yet.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QString inTrash;
    if (!QFile::moveToTrash(path, &inTrash))
        return RecycleFailed;
    // When no trash folder can be made, Qt 6.4 still "succeeds", moving the
    // file into files/ below the current folder: that is no trash, and the
    // file goes back where it was.
    const QFileInfo trashed(inTrash);
    const bool inATrash = trashed.isAbsolute() && trashed.absolutePath().endsWith(u"/files"_s) &&
                          QFileInfo(trashed.absolutePath()).absolutePath().contains(u"Trash"_s);
    if (!inATrash) {
        if (QFile::rename(trashed.absoluteFilePath(), path)) {
            QFile::remove(trashed.absolutePath() + u"/../info/"_s + trashed.fileName() +
                          u".trashinfo"_s);
            QDir().rmdir(trashed.absolutePath() + u"/../info"_s);
            QDir().rmdir(trashed.absolutePath());
        }
        return RecycleFailed;
    }
    if (whereInTrash)
        *whereInTrash = inTrash;
    return entryExists(path) ? RecycleFailed : RecycleGone;
}

bool MakeFileWritable(const QString& path) {
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty())
        return false;
    const QFileInfo info(trimmed);
    if (!info.exists() || info.isDir())
        return false;
    const QFile::Permissions permissions = QFile::permissions(trimmed);
    if (permissions.testFlag(QFile::WriteOwner))
        return true;
    return QFile::setPermissions(trimmed, permissions | QFile::WriteOwner);
}

} // namespace support
