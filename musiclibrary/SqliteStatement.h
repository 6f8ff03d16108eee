#pragma once

// A prepared SQLite statement that finalizes itself, with the checks every
// reader of the engine's own databases makes: the files can be edited or
// damaged, and SQLite converts any value to any type.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sqlite3.h>

namespace musiclibrary {

// Longer texts than tags or names ever hold: a row with one is damaged, and
// is not kept in memory nor shown.
constexpr int maxTextBytes = 64 * 1024;

class SqliteStatement {
public:
    explicit SqliteStatement(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    ~SqliteStatement() { sqlite3_finalize(m_stmt); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    void bind(int column, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, column, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind(int column, qint64 value) { sqlite3_bind_int64(m_stmt, column, value); }
    void bindBlob(int column, const QByteArray& data) {
        sqlite3_bind_blob64(m_stmt, column, data.constData(), sqlite3_uint64(data.size()),
                            SQLITE_TRANSIENT);
    }
    QByteArray blob(int column) const {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
        return data ? QByteArray(data, sqlite3_column_bytes(m_stmt, column)) : QByteArray();
    }
    bool isBlob(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_BLOB; }
    // One step of a statement that returns no rows, then ready for reuse.
    bool run() {
        const int rc = sqlite3_step(m_stmt);
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        return rc == SQLITE_DONE;
    }
    bool next() { return sqlite3_step(m_stmt) == SQLITE_ROW; }
    void reset() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    // Valid until the next step.
    QByteArrayView bytes(int column) const {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return QByteArrayView(data, data ? sqlite3_column_bytes(m_stmt, column) : 0);
    }
    QString text(int column) const {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return data ? QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column)) : QString();
    }
    qint64 integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
    // Whether the column holds what this program writes there: the file can
    // be edited or damaged, and SQLite converts any value to any type.
    bool isInteger(int column) const {
        return sqlite3_column_type(m_stmt, column) == SQLITE_INTEGER;
    }
    bool isInteger(int column, qint64 min, qint64 max) const {
        return isInteger(column) && integer(column) >= min && integer(column) <= max;
    }
    bool isNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
    bool isText(int column, bool nullAllowed = true) const {
        const int type = sqlite3_column_type(m_stmt, column);
        if (type == SQLITE_NULL)
            return nullAllowed;
        return type == SQLITE_TEXT && sqlite3_column_bytes(m_stmt, column) <= maxTextBytes;
    }

private:
    sqlite3_stmt* m_stmt;
};

} // namespace musiclibrary
