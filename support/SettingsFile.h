#pragma once

// One settings store: a JSON file of registry-like keys, each holding typed
// values. The registry operations (Registry.h) map a hive to one such file.
//
// File layout: { "<key path>": { "<value name>": {"type": "REG_SZ",
// "data": "text"} or {"type": "REG_DWORD", "data": 42} } }. The type is kept
// explicitly so that a number never reads back as text or the other way
// round, as in the registry.

#include <QString>

#include <optional>

class QJsonObject;

namespace support {

struct RegValue {
    enum class Type { String, Dword, Other };
    Type type = Type::Other;
    QString text;       // for String
    quint32 number = 0; // for Dword

    static RegValue string(const QString& text) { return {Type::String, text, 0}; }
    static RegValue dword(quint32 number) { return {Type::Dword, {}, number}; }
    friend bool operator==(const RegValue&, const RegValue&) = default;
};

class SettingsFile {
public:
    explicit SettingsFile(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    // Key paths are separated by "\"; empty segments are ignored. Key paths
    // and value names match without regard to case, as in the registry.
    // A missing, unreadable or corrupt file reads as empty.
    std::optional<RegValue> value(const QString& key, const QString& name) const;
    bool keyExists(const QString& key) const;

    // Read-modify-write under a lock file, replacing the file atomically so
    // that a crash leaves either the old or the new store. A corrupt store is
    // kept beside as "<file>.corrupt" and replaced. False on any failure.
    bool setValue(const QString& key, const QString& name, const RegValue& value);
    // True when the value is gone afterwards (also when it never existed).
    bool removeValue(const QString& key, const QString& name);

    // Refuses files above this size as corrupt: a store of ours stays tiny.
    static constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

private:
    enum class LoadState { Missing, Loaded, Corrupt, Unreadable };
    LoadState load(QJsonObject* keys) const;
    bool save(const QJsonObject& keys) const;
    template <typename Change> bool modify(Change change);

    QString m_path;
};

// "Software\\Tarnwick\\Quillmoth" for " \\Software\\\\Tarnwick\\Quillmoth\\ ".
QString NormalizedKeyPath(const QString& key);

} // namespace support
