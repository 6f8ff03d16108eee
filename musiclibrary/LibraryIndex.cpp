#include "musiclibrary/LibraryIndex.h"

#include "musiclibrary/ITunes.h"
#include "musiclibrary/SqliteStatement.h"
#include "musiclibrary/tagio/FileKinds.h"
#include "musiclibrary/tagio/PictureContainer.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace musiclibrary {

namespace {

using namespace Qt::StringLiterals;
using Statement = SqliteStatement;

// The index is two files: a cache of what the song files say, which can be
// rebuilt from them at any time, and the engine's own records (persistent
// ids, downloaded artwork, playlists), which cannot. Version 1 of the cache
// held the records too; they are moved out when it is first opened.
constexpr int cacheVersion = 2;
constexpr int recordsVersion = 1;
// A song file holding more pictures than this is not believed: the row is
// treated as damaged and the file is read again.
constexpr int maxPicturesPerFile = 4096;

struct StoreKind {
    int version;
    // The earlier version that is still opened (and then brought up to
    // date), or -1.
    int earlierVersion;
    const char* schema;
    // One cheap read of every table proves the schema is usable.
    const char* probe;
};

const StoreKind CacheStore{cacheVersion, 1, R"sql(
CREATE TABLE IF NOT EXISTS files(
    path TEXT PRIMARY KEY, size INTEGER NOT NULL, mtime_ns INTEGER NOT NULL,
    tags_readable INTEGER NOT NULL, pictures_supported INTEGER NOT NULL,
    title TEXT, artist TEXT, album TEXT, track_number INTEGER, kind TEXT,
    pictures TEXT) WITHOUT ROWID;
PRAGMA user_version = 2;
)sql",
                           "SELECT count(*) FROM files"};

const StoreKind RecordsStore{recordsVersion, -1, R"sql(
CREATE TABLE IF NOT EXISTS ids(
    key TEXT PRIMARY KEY, persistent_id INTEGER NOT NULL UNIQUE) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS downloaded(
    persistent_id INTEGER PRIMARY KEY, file TEXT NOT NULL,
    format INTEGER NOT NULL, size INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS playlists(
    id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS playlist_tracks(
    playlist_id INTEGER NOT NULL, position INTEGER NOT NULL,
    persistent_id INTEGER NOT NULL, PRIMARY KEY(playlist_id, position));
PRAGMA user_version = 1;
)sql",
                             "SELECT (SELECT count(*) FROM ids), (SELECT count(*) FROM downloaded),"
                             " (SELECT count(*) FROM playlists),"
                             " (SELECT count(*) FROM playlist_tracks)"};

// Moves the records of a version 1 cache into the records file. Copying
// first and dropping after: should either step be cut short, the next
// opening does it again.
const char* const CopyEarlierRecords = R"sql(
BEGIN IMMEDIATE;
INSERT OR IGNORE INTO ids SELECT key, persistent_id FROM earlier.ids;
INSERT OR IGNORE INTO downloaded SELECT persistent_id, file, format, size FROM earlier.downloaded;
INSERT OR IGNORE INTO playlists(id, name) SELECT id, name FROM earlier.playlists;
INSERT OR IGNORE INTO playlist_tracks
    SELECT playlist_id, position, persistent_id FROM earlier.playlist_tracks;
COMMIT;
)sql";
const char* const DropEarlierRecords = R"sql(
BEGIN IMMEDIATE;
DROP TABLE IF EXISTS ids;
DROP TABLE IF EXISTS downloaded;
DROP TABLE IF EXISTS playlists;
DROP TABLE IF EXISTS playlist_tracks;
PRAGMA user_version = 2;
COMMIT;
)sql";

// Whether a cached row could have come from reading the file at path: the
// kind its name gives, and pictures that fit in the file.
bool plausible(const QString& path, const IndexedFile& row) {
    const QString kindByName = tagio::kindForSuffix(tagio::suffixOf(path));
    // The content refines two kinds: Apple Lossless in an MP4 file, Opus in an
    // .ogg file.
    const bool kindFits = row.facts.kind == kindByName ||
                          (kindByName == QStringView(tagio::KindAac) &&
                           row.facts.kind == QStringView(tagio::KindAppleLossless)) ||
                          (kindByName == QStringView(tagio::KindOggVorbis) &&
                           row.facts.kind == QStringView(tagio::KindOpus));
    if (!kindFits || (!row.facts.picturesSupported && !row.facts.pictures.isEmpty()))
        return false;
    // A row written before the engine read this kind's pictures is read again.
    if (!row.facts.picturesSupported && tagio::containerClaims(tagio::suffixOf(path)))
        return false;
    qint64 total = 0;
    for (const PictureFacts& picture : row.facts.pictures) {
        if (picture.format < ITArtworkFormatUnknown || picture.format > ITArtworkFormatBMP)
            return false;
        total += picture.byteSize; // each is at most the file size: no overflow
        if (picture.byteSize > row.stamp.size || total > row.stamp.size)
            return false;
    }
    return true;
}

sqlite3* openDatabase(const QString& filePath) {
    sqlite3* db = nullptr;
    // One library, one thread: SQLite's own locking around every call (a
    // large share of reading 20,000 rows) buys nothing here.
    const int rc =
        sqlite3_open_v2(QFile::encodeName(filePath).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 2000);
    return db;
}

const QStringList DatabaseSuffixes = {QString(), u"-wal"_s, u"-shm"_s, u"-journal"_s};

// Keeps an index that cannot be read beside the new one, under a name no
// other index has; returns that name, empty when it could not be moved.
QString setAside(const QString& filePath) {
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    QString target = filePath + u".unreadable-"_s + stamp;
    for (int n = 2; QFile::exists(target); ++n)
        target = filePath + u".unreadable-%1-%2"_s.arg(stamp).arg(n);
    if (!QFile::rename(filePath, target))
        return {};
    for (const QString& suffix : DatabaseSuffixes.mid(1))
        if (QFile::exists(filePath + suffix))
            QFile::rename(filePath + suffix, target + suffix);
    return target;
}

} // namespace

namespace {

bool execOn(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

sqlite3_stmt* prepareOn(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    return stmt;
}

enum class SetUp { Ready, Newer, Damaged, Failed };

// Brings a newly opened file up to kind's schema; *found: the version it
// had (0: new).
SetUp setUpStore(sqlite3* db, const StoreKind& kind, qint64* found) {
    const auto failure = [db] {
        const int code = sqlite3_errcode(db) & 0xFF;
        return code == SQLITE_CORRUPT || code == SQLITE_NOTADB || code == SQLITE_SCHEMA ||
                       code == SQLITE_ERROR
                   ? SetUp::Damaged
                   : SetUp::Failed;
    };
    {
        // Finished before the journal mode changes: an unfinished statement
        // holds a read transaction, during which the mode cannot change.
        Statement version(prepareOn(db, "PRAGMA user_version"));
        if (!version.isValid() || !version.next())
            return failure();
        *found = version.integer(0);
    }
    if (*found > kind.version)
        return SetUp::Newer;
    if (*found < 0 || (*found != 0 && *found != kind.version && *found != kind.earlierVersion))
        return SetUp::Damaged;
    if (!execOn(db, "PRAGMA journal_mode=WAL") || !execOn(db, "PRAGMA synchronous=NORMAL"))
        return failure();
    if (*found == 0 && !execOn(db, kind.schema))
        return failure();
    Statement probe(prepareOn(db, kind.probe));
    if (!probe.isValid() || !probe.next())
        return failure();
    return SetUp::Ready;
}

// One file of the index, opened whatever it takes short of deleting it.
struct OpenedStore {
    sqlite3* db = nullptr;
    qint64 found = 0; // the version it had; 0 when it was begun now
};

OpenedStore openStore(const QString& filePath, const StoreKind& kind, QStringList& notices) {
    const bool existed = QFile::exists(filePath);
    OpenedStore store;
    store.db = openDatabase(filePath);
    if (!store.db) {
        notices.append(u"The library index \"%1\" could not be opened; the library is read "
                       u"without it this time."_s.arg(filePath));
        return store;
    }
    const SetUp result = setUpStore(store.db, kind, &store.found);
    if (result == SetUp::Ready) {
        if (!existed)
            store.found = 0;
        return store;
    }
    const QString reason = QString::fromUtf8(sqlite3_errmsg(store.db));
    sqlite3_close(store.db);
    store.db = nullptr;
    if (result == SetUp::Newer)
        throw LibraryError(
            LibraryError::Unsupported,
            u"The library index \"%1\" was written by a newer version of "
            u"Quillmoth, which this version cannot use; it is left as it is. Use "
            u"the newer version, or move the file away to begin a new index."_s.arg(filePath));
    if (result == SetUp::Failed) {
        // A full disk or a passing fault: the file may well be fine.
        notices.append(u"The library index \"%1\" could not be opened (%2); the library is "
                       u"read without it this time."_s.arg(filePath, reason));
        return store;
    }
    // Damaged, or not an index at all: it is kept for whoever can mend it.
    const QString keptAs = setAside(filePath);
    if (keptAs.isEmpty()) {
        notices.append(u"The library index \"%1\" cannot be read and could not be set aside; "
                       u"the library is read without it this time."_s.arg(filePath));
        return store;
    }
    notices.append(
        &kind == &RecordsStore
            ? u"The library records \"%1\" could not be read (%2). They are kept as \"%3\" "
              u"and new ones were begun: track ids, playlists of this program and downloaded "
              u"artwork recorded there are not used unless the file is put back."_s.arg(
                  filePath, reason, keptAs)
            : u"The library index \"%1\" could not be read (%2). It is kept as \"%3\" and a "
              u"new one was begun; it only held what the song files say."_s.arg(filePath, reason,
                                                                                keptAs));
    store.db = openDatabase(filePath);
    if (store.db && setUpStore(store.db, kind, &store.found) != SetUp::Ready) {
        sqlite3_close(store.db);
        store.db = nullptr;
    }
    store.found = 0;
    return store;
}

QString recordsPathFor(const QString& cachePath) {
    return QFileInfo(cachePath).absolutePath() + u"/records.sqlite"_s;
}

} // namespace

std::unique_ptr<LibraryIndex> LibraryIndex::open(const QString& filePath, QString* notice) {
    QStringList notices;
    const auto done = [&](std::unique_ptr<LibraryIndex> index) {
        if (notice)
            *notice = notices.join(u'\n');
        return index;
    };
    OpenedStore records = openStore(recordsPathFor(filePath), RecordsStore, notices);
    OpenedStore cache;
    try {
        cache = openStore(filePath, CacheStore, notices);
    } catch (...) {
        sqlite3_close(records.db);
        throw;
    }
    if (!cache.db || !records.db) {
        sqlite3_close(cache.db);
        sqlite3_close(records.db);
        return done(nullptr);
    }
    std::unique_ptr<LibraryIndex> index(new LibraryIndex(cache.db, records.db));
    index->m_startedEmpty = records.found == 0;
    if (cache.found == CacheStore.earlierVersion) {
        Statement attach(prepareOn(records.db, "ATTACH DATABASE ?1 AS earlier"));
        attach.bind(1, filePath);
        const bool copied =
            attach.isValid() && attach.run() && execOn(records.db, CopyEarlierRecords);
        if (!copied)
            execOn(records.db, "ROLLBACK");
        execOn(records.db, "DETACH DATABASE earlier");
        if (copied) {
            index->m_startedEmpty = false;
            if (!execOn(cache.db, DropEarlierRecords))
                execOn(cache.db, "ROLLBACK");
        }
    }
    return done(std::move(index));
}

LibraryIndex::LibraryIndex(sqlite3* cache, sqlite3* records) : m_db(cache), m_records(records) {}

LibraryIndex::~LibraryIndex() {
    sqlite3_close(m_db);
    sqlite3_close(m_records);
}

QHash<QString, IndexedFile> LibraryIndex::loadFiles() {
    QHash<QString, IndexedFile> rows;
    Statement select(prepareOn(m_db,
                               "SELECT path, size, mtime_ns, tags_readable, pictures_supported,"
                               " title, artist, album, track_number, kind, pictures FROM files"));
    if (!select.isValid())
        return rows;
    // A library holds a handful of kinds: one shared text for each.
    QList<std::pair<QByteArray, QString>> kinds;
    while (select.next()) {
        // A damaged row is simply not known: its file is read again.
        if (!select.isText(0, false) ||
            !select.isInteger(1, 0, std::numeric_limits<qint64>::max()) || !select.isInteger(2) ||
            !select.isInteger(3, 0, 1) || !select.isInteger(4, 0, 1) || !select.isText(5) ||
            !select.isText(6) || !select.isText(7) ||
            !(select.isInteger(8, 0, std::numeric_limits<int>::max()) || select.isNull(8)) ||
            !select.isText(9) || !select.isText(10))
            continue;
        IndexedFile row;
        bool ok = true;
        row.stamp = {select.integer(1), select.integer(2)};
        row.facts.tagsReadable = select.integer(3) != 0;
        row.facts.picturesSupported = select.integer(4) != 0;
        row.facts.title = select.text(5);
        row.facts.artist = select.text(6);
        row.facts.album = select.text(7);
        row.facts.trackNumber = int(select.integer(8));
        const QByteArrayView kindBytes = select.bytes(9);
        auto kind = std::find_if(kinds.cbegin(), kinds.cend(),
                                 [&](const auto& known) { return known.first == kindBytes; });
        if (kind == kinds.cend())
            kind = kinds.emplace(kinds.size(), kindBytes.toByteArray(), select.text(9));
        row.facts.kind = kind->second;
        row.facts.pictures = decodePictureFacts(select.text(10), &ok);
        const QString path = select.text(0);
        if (ok && plausible(path, row))
            rows.insert(path, std::move(row));
    }
    return rows;
}

bool LibraryIndex::storeFiles(const QList<std::pair<QString, IndexedFile>>& rows) {
    if (rows.isEmpty())
        return true;
    if (!execOn(m_db, "BEGIN IMMEDIATE"))
        return false;
    bool ok = true;
    {
        Statement insert(prepareOn(
            m_db,
            "INSERT OR REPLACE INTO files(path, size, mtime_ns, tags_readable, pictures_supported,"
            " title, artist, album, track_number, kind, pictures)"
            " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)"));
        ok = insert.isValid();
        for (const auto& [path, row] : rows) {
            if (!ok)
                break;
            insert.bind(1, path);
            insert.bind(2, row.stamp.size);
            insert.bind(3, row.stamp.mtimeNs);
            insert.bind(4, qint64(row.facts.tagsReadable));
            insert.bind(5, qint64(row.facts.picturesSupported));
            insert.bind(6, row.facts.title);
            insert.bind(7, row.facts.artist);
            insert.bind(8, row.facts.album);
            insert.bind(9, qint64(row.facts.trackNumber));
            insert.bind(10, row.facts.kind);
            insert.bind(11, encodePictureFacts(row.facts.pictures));
            ok = insert.run();
        }
    }
    return execOn(m_db, ok ? "COMMIT" : "ROLLBACK") && ok;
}

QHash<QString, quint64> LibraryIndex::loadIds() {
    QHash<QString, quint64> ids;
    Statement select(prepareOn(m_records, "SELECT key, persistent_id FROM ids"));
    while (select.isValid() && select.next()) {
        if (select.isText(0, false) && select.isInteger(1) && select.integer(1) != 0)
            ids.insert(select.text(0), quint64(select.integer(1)));
    }
    return ids;
}

bool LibraryIndex::storeIds(const QList<std::pair<QString, quint64>>& ids) {
    if (ids.isEmpty())
        return true;
    if (!execOn(m_records, "BEGIN IMMEDIATE"))
        return false;
    bool ok = true;
    {
        Statement insert(
            prepareOn(m_records, "INSERT OR REPLACE INTO ids(key, persistent_id) VALUES(?1, ?2)"));
        ok = insert.isValid();
        for (const auto& [key, id] : ids) {
            if (!ok)
                break;
            insert.bind(1, key);
            insert.bind(2, qint64(id));
            ok = insert.run();
        }
    }
    return execOn(m_records, ok ? "COMMIT" : "ROLLBACK") && ok;
}

QList<IndexedDownload> LibraryIndex::loadDownloads() {
    QList<IndexedDownload> downloads;
    Statement select(
        prepareOn(m_records, "SELECT persistent_id, file, format, size FROM downloaded"));
    while (select.isValid() && select.next()) {
        if (select.isInteger(0) && select.integer(0) != 0 && select.isText(1, false) &&
            select.isInteger(2, ITArtworkFormatUnknown, ITArtworkFormatBMP) &&
            select.isInteger(3, 0, std::numeric_limits<qint64>::max()))
            downloads.append({quint64(select.integer(0)), select.text(1), int(select.integer(2)),
                              select.integer(3)});
    }
    return downloads;
}

bool LibraryIndex::storeDownload(const IndexedDownload& download) {
    Statement insert(
        prepareOn(m_records, "INSERT OR REPLACE INTO downloaded(persistent_id, file, format, size)"
                             " VALUES(?1, ?2, ?3, ?4)"));
    if (!insert.isValid())
        return false;
    insert.bind(1, qint64(download.persistentId));
    insert.bind(2, download.fileName);
    insert.bind(3, qint64(download.format));
    insert.bind(4, download.byteSize);
    return insert.run();
}

bool LibraryIndex::removeDownload(quint64 persistentId) {
    Statement remove(prepareOn(m_records, "DELETE FROM downloaded WHERE persistent_id = ?1"));
    if (!remove.isValid())
        return false;
    remove.bind(1, qint64(persistentId));
    return remove.run();
}

QList<IndexedPlaylist> LibraryIndex::loadPlaylists() {
    QList<IndexedPlaylist> playlists;
    QHash<qint64, qsizetype> positionOf;
    Statement select(prepareOn(m_records, "SELECT id, name FROM playlists ORDER BY id"));
    while (select.isValid() && select.next()) {
        if (!select.isInteger(0) || !select.isText(1, false))
            continue; // damaged: its entries are dropped with it
        positionOf.insert(select.integer(0), playlists.size());
        playlists.append({select.integer(0), select.text(1), {}});
    }
    Statement tracks(prepareOn(
        m_records,
        "SELECT playlist_id, persistent_id FROM playlist_tracks ORDER BY playlist_id, position"));
    while (tracks.isValid() && tracks.next()) {
        if (!tracks.isInteger(0) || !tracks.isInteger(1) || tracks.integer(1) == 0)
            continue;
        const auto found = positionOf.constFind(tracks.integer(0));
        if (found != positionOf.cend())
            playlists[*found].persistentIds.append(quint64(tracks.integer(1)));
    }
    return playlists;
}

qint64 LibraryIndex::createPlaylist(const QString& name) {
    Statement insert(prepareOn(m_records, "INSERT INTO playlists(name) VALUES(?1)"));
    if (!insert.isValid())
        return 0;
    insert.bind(1, name);
    return insert.run() ? sqlite3_last_insert_rowid(m_records) : 0;
}

bool LibraryIndex::appendPlaylistTrack(qint64 id, qsizetype position, quint64 persistentId) {
    Statement insert(prepareOn(
        m_records,
        "INSERT INTO playlist_tracks(playlist_id, position, persistent_id) VALUES(?1, ?2, ?3)"));
    if (!insert.isValid())
        return false;
    insert.bind(1, id);
    insert.bind(2, qint64(position));
    insert.bind(3, qint64(persistentId));
    return insert.run();
}

bool LibraryIndex::removePlaylist(qint64 id) {
    if (!execOn(m_records, "BEGIN IMMEDIATE"))
        return false;
    Statement tracks(prepareOn(m_records, "DELETE FROM playlist_tracks WHERE playlist_id = ?1"));
    Statement playlist(prepareOn(m_records, "DELETE FROM playlists WHERE id = ?1"));
    bool ok = tracks.isValid() && playlist.isValid();
    if (ok) {
        tracks.bind(1, id);
        playlist.bind(1, id);
        ok = tracks.run() && playlist.run();
    }
    return execOn(m_records, ok ? "COMMIT" : "ROLLBACK") && ok;
}

QString encodePictureFacts(const QList<PictureFacts>& pictures) {
    QString text;
    for (const PictureFacts& picture : pictures) {
        if (!text.isEmpty())
            text += u',';
        text += QString::number(picture.format) + u':' + QString::number(picture.byteSize);
    }
    return text;
}

QList<PictureFacts> decodePictureFacts(const QString& text, bool* ok) {
    QList<PictureFacts> pictures;
    bool good = true;
    if (!text.isEmpty()) {
        const QList<QStringView> parts = QStringView(text).split(u',');
        good = parts.size() <= maxPicturesPerFile;
        for (qsizetype i = 0; good && i < parts.size(); ++i) {
            const qsizetype colon = parts[i].indexOf(u':');
            bool formatOk = false;
            bool sizeOk = false;
            PictureFacts picture;
            if (colon > 0) {
                picture.format = parts[i].left(colon).toInt(&formatOk);
                picture.byteSize = parts[i].mid(colon + 1).toLongLong(&sizeOk);
            }
            good = formatOk && sizeOk && picture.byteSize >= 0;
            pictures.append(picture);
        }
    }
    if (ok)
        *ok = good;
    return good ? pictures : QList<PictureFacts>();
}

} // namespace musiclibrary
