#include "artworkdownload/LookupCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace artworkdownload {

namespace {
constexpr int FileVersion = 1;
} // namespace

QString CacheFileIn(const QString& dataFolder) {
    QString folder = dataFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + u"cover-lookups.json"_s;
}

LookupCache::LookupCache(QString path, const support::Clock& clock)
    : m_path(std::move(path)), m_clock(clock) {
    load();
}

bool LookupCache::fresh(const Entry& entry) const {
    const QDateTime now = m_clock.now();
    // An answer stored "in the future" was stored under a wrong clock.
    return entry.stored.isValid() && entry.stored <= now.addSecs(60) &&
           entry.stored.addDays(CacheDays) > now;
}

std::optional<QString> LookupCache::find(const QString& key) const {
    const auto found = m_entries.constFind(key);
    if (found == m_entries.cend() || !fresh(*found))
        return std::nullopt;
    return found->answer;
}

void LookupCache::store(const QString& key, const QString& answer) {
    m_entries.insert(key, {answer, m_clock.now().toUTC()});
    save();
}

void LookupCache::load() {
    QFile file(m_path);
    if (QFileInfo(m_path).size() > MaxCacheFileBytes || !file.open(QIODevice::ReadOnly))
        return;
    const QJsonDocument document = QJsonDocument::fromJson(file.read(MaxCacheFileBytes));
    const QJsonObject root = document.object();
    if (root.value(u"version"_s).toInt() != FileVersion)
        return;
    const QJsonObject answers = root.value(u"answers"_s).toObject();
    for (auto it = answers.begin(); it != answers.end(); ++it) {
        const QJsonObject entry = it.value().toObject();
        const QJsonValue answer = entry.value(u"answer"_s);
        const QDateTime stored =
            QDateTime::fromString(entry.value(u"stored"_s).toString(), Qt::ISODate);
        if (!answer.isString() || !stored.isValid())
            continue;
        Entry kept{answer.toString(), stored};
        if (fresh(kept))
            m_entries.insert(it.key(), kept);
    }
}

void LookupCache::save() const {
    QJsonObject answers;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (!fresh(*it))
            continue;
        answers.insert(it.key(), QJsonObject{{u"answer"_s, it->answer},
                                             {u"stored"_s, it->stored.toString(Qt::ISODate)}});
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(QJsonDocument(QJsonObject{{u"version"_s, FileVersion}, {u"answers"_s, answers}})
                   .toJson(QJsonDocument::Compact));
    file.commit();
}

} // namespace artworkdownload
