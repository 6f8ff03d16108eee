#include "catalogue/PathOps.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace catalogue {

QString TrackLocation(const musiclibrary::TrackPtr& track) {
    if (!track)
        return {};
    try {
        return track->Location().trimmed();
    } catch (...) {
        return {};
    }
}

QString FolderOfPath(const QString& path) {
    if (path.isEmpty())
        return {};
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return path + u'/';
    return path.left(slash + 1);
}

QString AddBackslash(const QString& path) {
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty() || trimmed.endsWith(u'/'))
        return trimmed;
    return trimmed + u'/';
}

bool MakeFolderPath(const QString& path) {
    const QString folder = AddBackslash(path);
    if (folder.isEmpty())
        return false;
    // Each prefix that ends before a "/" (position 2 or later) names a
    // folder; a leading "/" alone names nothing to create.
    for (qsizetype slash = folder.indexOf(u'/', 1); slash >= 0;
         slash = folder.indexOf(u'/', slash + 1)) {
        QDir().mkdir(folder.left(slash));
    }
    return PathExists(folder);
}

QString PathForDisplay(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return path;
    return path.left(slash + 1) + u' ' + path.mid(slash + 1);
}

bool PathExists(const QString& path) {
    // A NUL would end the file-system name early and answer for another
    // path (a library file's location can hold one, as "%00").
    if (path.isEmpty() || path.contains(QChar(u'\0')))
        return false;
    // stat() rather than QFileInfo: the scan asks once per song.
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

} // namespace catalogue
