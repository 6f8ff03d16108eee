#include "musiclibrary/TrackLocation.h"

#include "musiclibrary/FolderScan.h"

#include <QFileInfo>
#include <QUrl>

namespace musiclibrary {

namespace {

using namespace Qt::StringLiterals;

bool isDrivePath(const QString& path) {
    return path.size() >= 3 && path[0] == u'/' && path[1].isLetter() && path[2] == u':';
}

} // namespace

QString pathOfFileUrl(const QString& url) {
    const QUrl parsed(url.trimmed(), QUrl::TolerantMode);
    if (!parsed.isValid() || parsed.scheme().compare(u"file"_s, Qt::CaseInsensitive) != 0)
        return {};
    QString path = parsed.path(QUrl::FullyDecoded);
    if (isDrivePath(path))
        return path.mid(1);
    const QString host = parsed.host(QUrl::FullyDecoded);
    if (!host.isEmpty() && host.compare(u"localhost"_s, Qt::CaseInsensitive) != 0)
        return u"//"_s + host + path;
    return path;
}

LocationMapper::LocationMapper(const QString& libraryFilePath, const QString& musicFolderUrl)
    : m_libraryFolder(QFileInfo(libraryFilePath).absolutePath()) {
    QString folder = pathOfFileUrl(musicFolderUrl);
    while (folder.endsWith(u'/'))
        folder.chop(1);
    if (!folder.isEmpty()) {
        m_musicFolderPath = folder + u'/';
        m_musicFolderName = folder.section(u'/', -1);
    }
}

QString LocationMapper::map(const QString& locationUrl) const {
    if (locationUrl.trimmed().isEmpty())
        return {};
    const QString path = pathOfFileUrl(locationUrl);
    if (path.isEmpty())
        return locationUrl;
    if (statFile(path).isValid())
        return path;
    // The old machine's folders are compared without regard to case: they
    // are most often Windows folders.
    if (m_musicFolderPath.isEmpty() || !path.startsWith(m_musicFolderPath, Qt::CaseInsensitive))
        return path;
    const QString relative = path.mid(m_musicFolderPath.size());
    const QString below = m_libraryFolder + u'/' + relative;
    if (statFile(below).isValid())
        return below;
    const QString belowMusicFolder = m_libraryFolder + u'/' + m_musicFolderName + u'/' + relative;
    if (!m_musicFolderName.isEmpty() && statFile(belowMusicFolder).isValid())
        return belowMusicFolder;
    return below;
}

} // namespace musiclibrary
