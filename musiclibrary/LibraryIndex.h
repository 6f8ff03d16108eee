#pragma once

// The engine's SQLite index: what it remembers between runs. File facts are a
// cache (a file whose size and modification time are unchanged is not opened
// again); persistent ids, downloaded-artwork entries and user playlists are
// the engine's own records, kept in a file of their own beside it. Neither
// file is ever deleted: a damaged one is set aside and a new one begun (the
// library still opens, only slower; with the records set aside, the ids of
// folder tracks are handed out anew until the file is put back).

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/FolderScan.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <utility>

struct sqlite3;
struct sqlite3_stmt;

namespace musiclibrary {

struct IndexedFile {
    FileStamp stamp;
    AudioFileFacts facts;
};

struct IndexedDownload {
    quint64 persistentId = 0;
    QString fileName; // below the downloaded folder
    int format = 0;
    qint64 byteSize = 0;
};

struct IndexedPlaylist {
    qint64 id = 0;
    QString name;
    QList<quint64> persistentIds;
};

class LibraryIndex {
public:
    // Opens (creating when needed) the index at filePath. The index is never
    // deleted: one that cannot be read is set aside under a new name and a
    // new one begun; one a newer version wrote is refused (LibraryError) and
    // left alone. nullptr when no index can be used this time (a full disk,
    // say). *notice tells the user what happened, when anything did.
    static std::unique_ptr<LibraryIndex> open(const QString& filePath, QString* notice = nullptr);
    ~LibraryIndex();
    LibraryIndex(const LibraryIndex&) = delete;
    LibraryIndex& operator=(const LibraryIndex&) = delete;

    // Whether open() had to start from empty records (new or set aside).
    bool startedEmpty() const { return m_startedEmpty; }

    QHash<QString, IndexedFile> loadFiles();
    // Writes every row in one transaction.
    bool storeFiles(const QList<std::pair<QString, IndexedFile>>& rows);

    QHash<QString, quint64> loadIds();
    bool storeIds(const QList<std::pair<QString, quint64>>& ids);

    QList<IndexedDownload> loadDownloads();
    bool storeDownload(const IndexedDownload& download);
    bool removeDownload(quint64 persistentId);

    QList<IndexedPlaylist> loadPlaylists();
    // The new playlist's id, or 0 when it could not be stored.
    qint64 createPlaylist(const QString& name);
    bool appendPlaylistTrack(qint64 id, qsizetype position, quint64 persistentId);
    bool removePlaylist(qint64 id);

private:
    LibraryIndex(sqlite3* cache, sqlite3* records);

    // What the song files say (index.sqlite), and the engine's own records
    // (records.sqlite beside it): a damaged cache cannot take them along.
    sqlite3* m_db = nullptr;
    sqlite3* m_records = nullptr;
    bool m_startedEmpty = false;
};

// "1:2048,2:512": format and byte size of each picture, in file order.
QString encodePictureFacts(const QList<PictureFacts>& pictures);
// The reverse; malformed text gives an empty list and ok = false.
QList<PictureFacts> decodePictureFacts(const QString& text, bool* ok = nullptr);

} // namespace musiclibrary
