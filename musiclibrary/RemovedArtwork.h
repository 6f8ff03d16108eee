#pragma once

// Every picture a write removes from a song, and every downloaded image
// that goes, is kept here first: its bytes, format and position, the song's
// path and persistent id, the time and the run it belonged to. The record
// is durable before the song file changes, so that what a run removed can
// always be put back, also after a killed run. Old records are pruned
// (by age, then by total size, oldest first); the store never grows
// without bound.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>

struct sqlite3;

namespace musiclibrary {
class SqliteStatement;
}

namespace musiclibrary {

struct RemovedLimits {
    int keepDays = 30;
    qint64 maxBytes = qint64(1024) * 1024 * 1024;
};

// One picture as it was before a change removed it.
struct RemovedPicture {
    RemovedPicture() = default;
    RemovedPicture(int at, bool wasDownloaded, int formatCode, QByteArray bytes,
                   QByteArray kept = {})
        : position(at), downloaded(wasDownloaded), format(formatCode), data(std::move(bytes)),
          record(std::move(kept)) {}

    int position = 0; // 0-based, among the song's pictures before the change
    bool downloaded = false;
    int format = 0;
    QByteArray data;
    // The container's own record of the picture (Picture::record), so that
    // it goes back exactly: its type, description and MIME type among them.
    // Empty for downloaded art and for what an earlier version kept.
    QByteArray record;
};

// One change of one song that removed pictures.
struct RemovedChange {
    qint64 id = 0;
    qint64 run = 0;
    QString runDescription;
    QDateTime time;
    quint64 persistentId = 0;
    QString path;
    // A fingerprint of the song's pictures before and after the change: the
    // song can be given its pictures back only while it is as the change
    // left it.
    // Both empty when only downloaded art went and the file was not touched.
    QByteArray beforeHash;
    QByteArray afterHash;
    // Where the pictures the change added stand among those after it.
    QList<int> addedPositions;
    QList<RemovedPicture> pictures; // the file's by position, then downloaded art
};

// The fingerprint of a list of pictures.
QByteArray picturesHash(const QList<QByteArray>& pictures);

class RemovedArtworkStore {
public:
    // Opens (creating) the store at filePath and prunes it. A damaged file
    // is put aside (never deleted) and a new one made; nullptr when no
    // store can be kept there at all.
    static std::unique_ptr<RemovedArtworkStore> open(const QString& filePath,
                                                     const RemovedLimits& limits);
    ~RemovedArtworkStore();
    RemovedArtworkStore(const RemovedArtworkStore&) = delete;
    RemovedArtworkStore& operator=(const RemovedArtworkStore&) = delete;

    // 0 when the run could not be recorded.
    qint64 startRun(const QString& description, const QDateTime& when);
    // Records the change durably (on the disk when this returns); returns
    // its id, 0 when it could not be recorded: the caller then must not make
    // the change. Older changes go when the store outgrows its size limit.
    qint64 record(const RemovedChange& change);
    void forget(qint64 changeId);
    // Changes of run (all when none), oldest first, with their pictures.
    QList<RemovedChange> changes(std::optional<qint64> run) const;
    std::optional<RemovedChange> change(qint64 changeId) const;
    // Drops what is older than the limit's days, then the oldest changes
    // until the pictures kept fit the size limit.
    void prune(const QDateTime& now);
    // The description of SQLite's last failure, for messages.
    QString lastError() const;

private:
    explicit RemovedArtworkStore(sqlite3* db, RemovedLimits limits);
    bool setUp();
    bool exec(const char* sql);
    SqliteStatement prepare(const char* sql) const;
    // Runs each statement with value bound to its one parameter.
    template <typename Value>
    void runEach(std::initializer_list<const char*> statements, const Value& value);
    void forgetEmptyRuns();
    QList<RemovedChange> select(const char* where, qint64 value) const;
    // Changes from keptFrom on are never pruned.
    void pruneBySize(qint64 keptFrom);
    qint64 keptBytes() const;

    sqlite3* m_db;
    RemovedLimits m_limits;
    qint64 m_keptBytes = 0; // the sum of the kept pictures' sizes
};

} // namespace musiclibrary
