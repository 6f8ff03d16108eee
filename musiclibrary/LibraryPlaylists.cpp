// User playlists: kept in the index across runs and each also written as an
// .m3u8 file in the data folder, so that other players can read it.

#include "musiclibrary/LibraryState.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace musiclibrary {

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype maxFileNameLength = 120;

// A file name that any file system accepts and that stays inside the
// playlist folder.
QString safeFileName(const QString& name) {
    QString safe;
    for (const QChar c : name.trimmed()) {
        const bool forbidden = c.unicode() < 0x20 || u"/\\:*?\"<>|"_s.contains(c);
        safe += forbidden ? u'_' : c;
    }
    if (safe.startsWith(u'.'))
        safe[0] = u'_';
    safe.truncate(maxFileNameLength);
    return safe.isEmpty() ? u"Playlist"_s : safe;
}

QString oneLine(QString text) {
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

QString LibraryState::playlistFolder() const {
    return m_dataFolder + u"/playlists"_s;
}

QString LibraryState::uniquePlaylistFileName(const QString& name, qint64 id) const {
    const QString safe = safeFileName(name);
    const QString plain = safe + u".m3u8"_s;
    for (const PlaylistDataPtr& other : m_playlists)
        if (!other->readOnly && other->m3uFileName.compare(plain, Qt::CaseInsensitive) == 0)
            return safe + u" (%1).m3u8"_s.arg(id);
    return plain;
}

void LibraryState::loadOwnPlaylists() {
    if (!m_index)
        return;
    qsizetype ownCount = 0; // the engine's own playlists come first
    for (const IndexedPlaylist& stored : m_index->loadPlaylists()) {
        auto playlist = std::make_shared<PlaylistData>();
        playlist->id = stored.id;
        playlist->name = stored.name;
        playlist->persistentIds = stored.persistentIds;
        playlist->m3uFileName = uniquePlaylistFileName(stored.name, stored.id);
        m_playlists.insert(ownCount++, playlist);
    }
}

void LibraryState::addLibraryFilePlaylist(const QString& name,
                                          const QList<quint64>& persistentIds) {
    auto playlist = std::make_shared<PlaylistData>();
    playlist->name = name;
    playlist->persistentIds = persistentIds;
    playlist->readOnly = true;
    m_playlists.append(playlist);
}

void LibraryState::writePlaylistFile(const PlaylistData& playlist,
                                     const QList<quint64>& ids) const {
    QString text = u"#EXTM3U\n"_s;
    for (quint64 id : ids) {
        const int position = trackWithId(id);
        if (position < 0 || track(position).location.isEmpty())
            continue; // a track of another library, or one without a file
        const TrackEntry& entry = track(position);
        const QString title =
            entry.artist.isEmpty() ? entry.name : entry.artist + u" - "_s + entry.name;
        text += u"#EXTINF:-1,"_s + oneLine(title) + u'\n' + oneLine(entry.location) + u'\n';
    }
    const QString path = playlistFolder() + u'/' + playlist.m3uFileName;
    QDir().mkpath(playlistFolder());
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw LibraryError(
            LibraryError::WriteFailed,
            u"Cannot write the playlist file \"%1\": %2."_s.arg(path, file.errorString()));
}

PlaylistDataPtr LibraryState::createPlaylist(const QString& name) {
    // Without an index the playlist lives for this run only; it still gets
    // an id of its own so that its file name can be told apart.
    static qint64 unsavedId = 0;
    const qint64 id = m_index ? m_index->createPlaylist(name) : 0;
    auto playlist = std::make_shared<PlaylistData>();
    playlist->id = id > 0 ? id : --unsavedId;
    playlist->name = name;
    playlist->m3uFileName = uniquePlaylistFileName(name, playlist->id);
    try {
        writePlaylistFile(*playlist, {});
    } catch (...) {
        if (id > 0)
            m_index->removePlaylist(id);
        throw;
    }
    qsizetype ownCount = 0;
    while (ownCount < m_playlists.size() && !m_playlists[ownCount]->readOnly)
        ++ownCount;
    m_playlists.insert(ownCount, playlist);
    return playlist;
}

namespace {

void requireChangeable(const PlaylistData& playlist, const QString& sourcePath,
                       const QString& action) {
    if (playlist.deleted)
        throw LibraryError(
            LibraryError::Deleted,
            u"Cannot %1 the playlist \"%2\": it was deleted."_s.arg(action, playlist.name));
    if (playlist.readOnly)
        throw LibraryError(
            LibraryError::Unsupported,
            u"Cannot %1 the playlist \"%2\": it belongs to the library file \"%3\"."_s.arg(
                action, playlist.name, sourcePath));
}

} // namespace

void LibraryState::deletePlaylist(const PlaylistDataPtr& playlist) {
    requireChangeable(*playlist, m_sourcePath, u"delete"_s);
    const QString path = playlistFolder() + u'/' + playlist->m3uFileName;
    if (QFile::exists(path) && !QFile::remove(path))
        throw LibraryError(LibraryError::WriteFailed,
                           u"Cannot delete the playlist file \"%1\"."_s.arg(path));
    if (m_index && playlist->id > 0)
        m_index->removePlaylist(playlist->id);
    playlist->deleted = true;
    m_playlists.removeOne(playlist);
}

void LibraryState::addToPlaylist(const PlaylistDataPtr& playlist, int track) {
    requireChangeable(*playlist, m_sourcePath, u"add a track to"_s);
    const quint64 id = m_tracks[size_t(track)].persistentId;
    if (m_index && playlist->id > 0 &&
        !m_index->appendPlaylistTrack(playlist->id, playlist->persistentIds.size(), id))
        throw LibraryError(LibraryError::WriteFailed,
                           u"Cannot add \"%1\" to the playlist \"%2\": the library index in \"%3\" "
                           u"cannot be written."_s.arg(m_tracks[size_t(track)].name, playlist->name,
                                                       m_dataFolder));
    playlist->persistentIds.append(id);
    playlist->resolvedValid = false;
    // Rewriting the whole file for every track would make filling a large
    // playlist quadratic; the file follows when the library is closed.
    playlist->fileOutdated = true;
}

void LibraryState::writeOutdatedPlaylistFiles() noexcept {
    for (const PlaylistDataPtr& playlist : m_playlists) {
        if (!playlist->fileOutdated)
            continue;
        try {
            writePlaylistFile(*playlist, playlist->persistentIds);
            playlist->fileOutdated = false;
        } catch (const LibraryError&) {
            // The index still holds the playlist; its file is written again
            // after the next change.
        }
    }
}

const std::vector<int>& LibraryState::playlistTracks(const PlaylistDataPtr& playlist) {
    if (!playlist->resolvedValid) {
        playlist->resolved.clear();
        for (quint64 id : playlist->persistentIds)
            if (const int position = trackWithId(id); position >= 0)
                playlist->resolved.push_back(position);
        playlist->resolvedValid = true;
    }
    return playlist->resolved;
}

} // namespace musiclibrary
