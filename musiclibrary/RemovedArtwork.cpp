#include "musiclibrary/RemovedArtwork.h"

#include "musiclibrary/SqliteStatement.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>

#include <sqlite3.h>

#include <limits>

namespace musiclibrary {

using namespace Qt::StringLiterals;

namespace {

constexpr int SchemaVersion = 2;

const char* const Schema = R"sql(
CREATE TABLE IF NOT EXISTS runs(
    id INTEGER PRIMARY KEY AUTOINCREMENT, started TEXT NOT NULL, description TEXT);
CREATE TABLE IF NOT EXISTS changes(
    id INTEGER PRIMARY KEY AUTOINCREMENT, run INTEGER NOT NULL, time TEXT NOT NULL,
    persistent_id INTEGER NOT NULL, path TEXT NOT NULL,
    before_hash BLOB NOT NULL, after_hash BLOB NOT NULL, added TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS pictures(
    change_id INTEGER NOT NULL, position INTEGER NOT NULL, downloaded INTEGER NOT NULL,
    format INTEGER NOT NULL, size INTEGER NOT NULL, data BLOB NOT NULL, record BLOB,
    PRIMARY KEY(change_id, downloaded, position));
CREATE INDEX IF NOT EXISTS changes_by_run ON changes(run);
CREATE INDEX IF NOT EXISTS changes_by_time ON changes(time);
PRAGMA user_version = 2;
)sql";

// A store of the first version kept no records: its pictures come back as
// they did then.
const char* const UpgradeFromVersion1 = R"sql(
ALTER TABLE pictures ADD COLUMN record BLOB;
PRAGMA user_version = 2;
)sql";

// Positions are never more than a song holds pictures.
constexpr qint64 maxPosition = 1 << 20;

QString positionsText(const QList<int>& positions) {
    QStringList parts;
    for (int position : positions)
        parts.append(QString::number(position));
    return parts.join(u',');
}

// nullopt when the text is not what positionsText writes.
std::optional<QList<int>> positionsOf(const QString& text) {
    QList<int> positions;
    if (text.isEmpty())
        return positions;
    for (const QStringView part : QStringView(text).split(u',')) {
        bool ok = false;
        const int position = part.toInt(&ok);
        if (!ok || position < 0 || position > maxPosition)
            return std::nullopt;
        positions.append(position);
    }
    return positions;
}

QString timeText(const QDateTime& when) {
    return when.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime timeOf(const QString& text) {
    QDateTime when = QDateTime::fromString(text, Qt::ISODateWithMs);
    when.setTimeSpec(Qt::UTC);
    return when;
}

} // namespace

QByteArray picturesHash(const QList<QByteArray>& pictures) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QByteArray& picture : pictures) {
        const qint64 length = picture.size();
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&length), sizeof length));
        hash.addData(picture);
    }
    return hash.result();
}

std::unique_ptr<RemovedArtworkStore> RemovedArtworkStore::open(const QString& filePath,
                                                               const RemovedLimits& limits) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(filePath).constData(), &db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(db, 5000);
            std::unique_ptr<RemovedArtworkStore> store(new RemovedArtworkStore(db, limits));
            if (store->setUp()) {
                store->prune(QDateTime::currentDateTimeUtc());
                return store;
            }
        } else {
            sqlite3_close(db);
        }
        if (!QFile::exists(filePath))
            return nullptr; // it could not even be made: no place for a store
        // Damaged or foreign: what it holds may still be wanted, so it is
        // put aside, not deleted.
        const QString aside = filePath + u".damaged-"_s +
                              QDateTime::currentDateTimeUtc().toString(u"yyyyMMddHHmmss"_s);
        if (!QFile::rename(filePath, aside))
            return nullptr;
        for (const QString& suffix : {u"-wal"_s, u"-shm"_s, u"-journal"_s})
            QFile::rename(filePath + suffix, aside + suffix);
    }
    return nullptr;
}

RemovedArtworkStore::RemovedArtworkStore(sqlite3* db, RemovedLimits limits)
    : m_db(db), m_limits(limits) {}

RemovedArtworkStore::~RemovedArtworkStore() {
    sqlite3_close(m_db);
}

bool RemovedArtworkStore::exec(const char* sql) {
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

template <typename Value>
void RemovedArtworkStore::runEach(std::initializer_list<const char*> statements,
                                  const Value& value) {
    for (const char* sql : statements) {
        SqliteStatement statement = prepare(sql);
        if (statement.isValid()) {
            statement.bind(1, value);
            statement.run();
        }
    }
}

SqliteStatement RemovedArtworkStore::prepare(const char* sql) const {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        stmt = nullptr;
    }
    return SqliteStatement(stmt);
}

QString RemovedArtworkStore::lastError() const {
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

bool RemovedArtworkStore::setUp() {
    qint64 found = -1;
    {
        SqliteStatement version = prepare("PRAGMA user_version");
        if (!version.isValid() || !version.next())
            return false;
        found = version.integer(0);
    }
    if (found != 0 && found != 1 && found != SchemaVersion)
        return false;
    // Pruning gives the space back to the file system only with
    // auto_vacuum, which takes effect only before anything is written,
    // the change to WAL included.
    if (found == 0 && !exec("PRAGMA auto_vacuum = INCREMENTAL"))
        return false;
    // A record must be on the disk before the song changes: every commit
    // is flushed.
    if (!exec("PRAGMA journal_mode=WAL") || !exec("PRAGMA synchronous=FULL"))
        return false;
    if (found == 0 && !exec(Schema))
        return false;
    if (found == 1 && !exec(UpgradeFromVersion1))
        return false;
    if (!exec("SELECT count(*) FROM runs, changes, pictures LIMIT 1"))
        return false;
    m_keptBytes = keptBytes();
    return m_keptBytes >= 0;
}

qint64 RemovedArtworkStore::keptBytes() const {
    SqliteStatement total = prepare("SELECT coalesce(sum(size), 0) FROM pictures");
    return total.isValid() && total.next() ? total.integer(0) : -1;
}

qint64 RemovedArtworkStore::startRun(const QString& description, const QDateTime& when) {
    SqliteStatement insert = prepare("INSERT INTO runs(started, description) VALUES(?, ?)");
    if (!insert.isValid())
        return 0;
    insert.bind(1, timeText(when));
    insert.bind(2, description);
    return insert.run() ? sqlite3_last_insert_rowid(m_db) : 0;
}

qint64 RemovedArtworkStore::record(const RemovedChange& change) {
    if (!exec("BEGIN IMMEDIATE"))
        return 0;
    qint64 id = 0;
    {
        SqliteStatement insert =
            prepare("INSERT INTO changes(run, time, persistent_id, path, before_hash, after_hash, "
                    "added) VALUES(?, ?, ?, ?, ?, ?, ?)");
        if (insert.isValid()) {
            insert.bind(1, change.run);
            insert.bind(2, timeText(change.time));
            insert.bind(3, qint64(change.persistentId));
            insert.bind(4, change.path);
            insert.bindBlob(5, change.beforeHash);
            insert.bindBlob(6, change.afterHash);
            insert.bind(7, positionsText(change.addedPositions));
            if (insert.run())
                id = sqlite3_last_insert_rowid(m_db);
        }
    }
    bool ok = id > 0;
    qint64 bytes = 0;
    if (ok) {
        SqliteStatement insert =
            prepare("INSERT INTO pictures(change_id, position, downloaded, format, size, data, "
                    "record) VALUES(?, ?, ?, ?, ?, ?, ?)");
        ok = insert.isValid();
        for (const RemovedPicture& picture : change.pictures) {
            if (!ok)
                break;
            insert.bind(1, id);
            insert.bind(2, qint64(picture.position));
            insert.bind(3, qint64(picture.downloaded ? 1 : 0));
            insert.bind(4, qint64(picture.format));
            insert.bind(5, qint64(picture.data.size()));
            insert.bindBlob(6, picture.data);
            insert.bindBlob(7, picture.record);
            ok = insert.run();
            bytes += picture.data.size();
        }
    }
    if (!ok || !exec("COMMIT")) {
        exec("ROLLBACK");
        return 0;
    }
    m_keptBytes += bytes;
    // The change just kept stays even when it alone is over the limit: the
    // song is about to lose what it holds.
    if (m_keptBytes > m_limits.maxBytes)
        pruneBySize(id);
    return id;
}

void RemovedArtworkStore::forget(qint64 changeId) {
    if (!exec("BEGIN IMMEDIATE"))
        return;
    runEach({"DELETE FROM pictures WHERE change_id = ?", "DELETE FROM changes WHERE id = ?"},
            changeId);
    exec("COMMIT");
    m_keptBytes = keptBytes();
}

QList<RemovedChange> RemovedArtworkStore::changes(std::optional<qint64> run) const {
    return run ? select("c.run = ?", *run) : select("c.id >= ?", 0);
}

std::optional<RemovedChange> RemovedArtworkStore::change(qint64 changeId) const {
    const QList<RemovedChange> found = select("c.id = ?", changeId);
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

QList<RemovedChange> RemovedArtworkStore::select(const char* where, qint64 value) const {
    QList<RemovedChange> result;
    const QByteArray sql = "SELECT c.id, c.run, coalesce(r.description, ''), c.time, "
                           "c.persistent_id, c.path, c.before_hash, c.after_hash, c.added "
                           "FROM changes c LEFT JOIN runs r ON r.id = c.run WHERE " +
                           QByteArray(where) + " ORDER BY c.id";
    SqliteStatement changes = prepare(sql.constData());
    if (!changes.isValid())
        return result;
    changes.bind(1, value);
    while (changes.next()) {
        // A damaged row is passed over, not believed.
        if (!changes.isInteger(0) || !changes.isInteger(1) || !changes.isInteger(4) ||
            !changes.isText(5, false) || !changes.isText(8, false))
            continue;
        const std::optional<QList<int>> added = positionsOf(changes.text(8));
        if (!added)
            continue;
        RemovedChange change;
        change.id = changes.integer(0);
        change.run = changes.integer(1);
        change.runDescription = changes.text(2);
        change.time = timeOf(changes.text(3));
        change.persistentId = quint64(changes.integer(4));
        change.path = changes.text(5);
        change.beforeHash = changes.blob(6);
        change.afterHash = changes.blob(7);
        change.addedPositions = *added;
        result.append(change);
    }
    SqliteStatement pictures =
        prepare("SELECT position, downloaded, format, data, record FROM pictures "
                "WHERE change_id = ? ORDER BY downloaded, position");
    for (RemovedChange& change : result) {
        if (!pictures.isValid())
            break;
        pictures.bind(1, change.id);
        while (pictures.next()) {
            if (!pictures.isInteger(0, 0, maxPosition) || !pictures.isInteger(1, 0, 1) ||
                !pictures.isInteger(2) || !pictures.isBlob(3))
                continue;
            // A record that is no blob is no record: the picture comes back
            // as a front cover.
            change.pictures.append({int(pictures.integer(0)), pictures.integer(1) != 0,
                                    int(pictures.integer(2)), pictures.blob(3),
                                    pictures.isBlob(4) ? pictures.blob(4) : QByteArray()});
        }
        pictures.reset();
    }
    return result;
}

void RemovedArtworkStore::prune(const QDateTime& now) {
    if (exec("BEGIN IMMEDIATE")) {
        const QString limit = timeText(now.addDays(-m_limits.keepDays));
        runEach({"DELETE FROM pictures WHERE change_id IN "
                 "(SELECT id FROM changes WHERE time < ?)",
                 "DELETE FROM changes WHERE time < ?"},
                limit);
        forgetEmptyRuns();
        exec("COMMIT");
        exec("PRAGMA incremental_vacuum");
    }
    m_keptBytes = keptBytes();
    pruneBySize(std::numeric_limits<qint64>::max());
}

void RemovedArtworkStore::forgetEmptyRuns() {
    // The newest run may be the one being filled.
    exec("DELETE FROM runs WHERE id NOT IN (SELECT run FROM changes) AND id < "
         "(SELECT coalesce(max(id), 0) FROM runs)");
}

void RemovedArtworkStore::pruneBySize(qint64 keptFrom) {
    if (m_keptBytes <= m_limits.maxBytes)
        return;
    // The oldest changes go first, until what is kept fits.
    if (!exec("BEGIN IMMEDIATE"))
        return;
    SqliteStatement oldest = prepare("SELECT c.id, coalesce(sum(p.size), 0) FROM changes c "
                                     "LEFT JOIN pictures p ON p.change_id = c.id "
                                     "GROUP BY c.id ORDER BY c.id");
    qint64 excess = m_keptBytes - m_limits.maxBytes;
    qint64 lastGone = 0;
    while (excess > 0 && oldest.isValid() && oldest.next() && oldest.integer(0) < keptFrom) {
        lastGone = oldest.integer(0);
        excess -= oldest.integer(1);
    }
    oldest.reset();
    if (lastGone > 0)
        runEach({"DELETE FROM pictures WHERE change_id <= ?", "DELETE FROM changes WHERE id <= ?"},
                lastGone);
    forgetEmptyRuns();
    exec("COMMIT");
    exec("PRAGMA incremental_vacuum");
    m_keptBytes = keptBytes();
}

} // namespace musiclibrary
