#pragma once

// The services' answers kept for a while in the data folder, found and not
// found alike, so that a second run over the same library asks almost
// nothing. One small JSON file; a damaged or foreign file is set aside as
// empty, never trusted.

#include "support/UiServices.h"

#include <QHash>
#include <QString>

#include <optional>

namespace artworkdownload {

inline constexpr int CacheDays = 30;
// Far more than any library's answers; a larger file is not read.
inline constexpr qint64 MaxCacheFileBytes = 16 * 1024 * 1024;

// "<data folder>/cover-lookups.json".
QString CacheFileIn(const QString& dataFolder);

class LookupCache {
public:
    LookupCache(QString path, const support::Clock& clock);

    // The answer kept for key, when it is younger than CacheDays.
    std::optional<QString> find(const QString& key) const;
    // Keeps the answer and writes the file at once (a run that is stopped
    // keeps what it learnt). A failed write only loses the cache.
    void store(const QString& key, const QString& answer);

    const QString& path() const { return m_path; }

private:
    struct Entry {
        QString answer;
        QDateTime stored;
    };
    bool fresh(const Entry& entry) const;
    void load();
    void save() const;

    QString m_path;
    const support::Clock& m_clock;
    QHash<QString, Entry> m_entries;
};

} // namespace artworkdownload
