// The engine's side of the journal of removed pictures: what a change keeps
// before it removes anything, and how a kept change is undone.

#include "musiclibrary/LibraryState.h"
#include "musiclibrary/tagio/PictureContainer.h"

#include <QDateTime>
#include <QFile>

#include <algorithm>

namespace musiclibrary {

using namespace Qt::StringLiterals;

namespace {

QList<QByteArray> dataOf(const QList<Picture>& pictures) {
    QList<QByteArray> data;
    data.reserve(pictures.size());
    for (const Picture& picture : pictures)
        data.append(picture.data);
    return data;
}

} // namespace

RemovedArtworkStore& LibraryState::removedStore() {
    if (!m_removed) {
        m_removed = RemovedArtworkStore::open(m_dataFolder + u"/removed.sqlite"_s, m_removedLimits);
        if (!m_removed)
            throw LibraryError(LibraryError::WriteFailed,
                               u"The removed artwork cannot be kept in \"%1\", so no artwork is "
                               u"removed; the song files are unchanged."_s.arg(m_dataFolder));
    }
    return *m_removed;
}

void LibraryState::startArtworkRun(const QString& description) {
    m_inRun = true;
    m_runDescription = description;
    m_runId = 0;
}

void LibraryState::endArtworkRun() {
    m_inRun = false;
    m_runDescription.clear();
    m_runId = 0;
}

qint64 LibraryState::journal(RemovedChange change) {
    RemovedArtworkStore& store = removedStore();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (m_runId == 0 || !m_inRun)
        m_runId = store.startRun(m_inRun ? m_runDescription : QString(), now);
    change.run = m_runId;
    change.time = now;
    const qint64 id = m_runId == 0 ? 0 : store.record(change);
    if (id == 0) {
        m_runId = 0;
        throw LibraryError(
            LibraryError::WriteFailed,
            u"The artwork to be removed from \"%1\" cannot be kept (%2), so it is "
            u"not removed; the song file is unchanged."_s.arg(change.path, store.lastError()));
    }
    return id;
}

void LibraryState::forgetJournalled(qint64 changeId) noexcept {
    if (changeId != 0 && m_removed)
        m_removed->forget(changeId);
}

qint64 LibraryState::journalFileChange(int track, const QList<Picture>& before,
                                       const PictureChange& change,
                                       const DownloadedArt* downloaded) {
    const TrackEntry& entry = m_tracks[size_t(track)];
    RemovedChange record;
    record.persistentId = entry.persistentId;
    record.path = entry.location;
    const QList<QByteArray> beforeData = dataOf(before);
    record.beforeHash = picturesHash(beforeData);
    QList<QByteArray> afterData;
    const QList<int> order = tagio::orderAfter(before.size(), change);
    for (qsizetype i = 0; i < order.size(); ++i) {
        if (order[i] >= 0) {
            afterData.append(beforeData[order[i]]);
        } else {
            afterData.append(change.insert[-1 - order[i]].imageData);
            record.addedPositions.append(int(i));
        }
    }
    record.afterHash = picturesHash(afterData);
    QList<int> removed = change.remove;
    std::sort(removed.begin(), removed.end());
    removed.erase(std::unique(removed.begin(), removed.end()), removed.end());
    for (int position : removed)
        if (position >= 0 && position < before.size())
            record.pictures.append({position, false, before[position].format, before[position].data,
                                    before[position].record});
    if (downloaded && QFile::exists(downloaded->filePath))
        record.pictures.append({0, true, downloaded->format, readImageFile(downloaded->filePath)});
    if (record.pictures.isEmpty())
        return 0;
    return journal(std::move(record));
}

qint64 LibraryState::journalDownloaded(int track, const DownloadedArt& art) {
    if (!QFile::exists(art.filePath))
        return 0;
    const TrackEntry& entry = m_tracks[size_t(track)];
    RemovedChange record;
    record.persistentId = entry.persistentId;
    record.path = entry.location;
    record.pictures.append({0, true, art.format, readImageFile(art.filePath)});
    return journal(std::move(record));
}

QList<RemovedChange> LibraryState::removedChanges(std::optional<qint64> run) {
    // Nothing was ever removed when there is no store: none is made for it.
    if (!m_removed && !QFile::exists(m_dataFolder + u"/removed.sqlite"_s))
        return {};
    return removedStore().changes(run);
}

bool LibraryState::restoreRemoved(qint64 changeId) {
    if (!m_removed && !QFile::exists(m_dataFolder + u"/removed.sqlite"_s))
        throw LibraryError(LibraryError::NotFound, u"No removed artwork is kept."_s);
    const std::optional<RemovedChange> kept = removedStore().change(changeId);
    if (!kept)
        throw LibraryError(LibraryError::NotFound,
                           u"No removed artwork is kept for change %1."_s.arg(changeId));
    const int track = trackWithId(kept->persistentId);
    if (track < 0)
        throw LibraryError(LibraryError::NotFound,
                           u"The song \"%1\" is no longer in the library."_s.arg(kept->path));
    const TrackEntry& entry = m_tracks[size_t(track)];
    const auto downloadedKept = std::find_if(kept->pictures.begin(), kept->pictures.end(),
                                             [](const RemovedPicture& p) { return p.downloaded; });

    // Everything is checked before anything changes.
    bool fileGoesBack = false;
    if (!kept->beforeHash.isEmpty()) {
        requirePictureFile(track, u"restore the artwork of"_s);
        const QByteArray now = picturesHash(dataOf(readPictures(entry.location)));
        if (now == kept->afterHash)
            fileGoesBack = kept->beforeHash != kept->afterHash;
        else if (now != kept->beforeHash)
            throw LibraryError(
                LibraryError::Failed,
                u"The artwork of \"%1\" changed after %2; it is left as it is."_s.arg(
                    entry.location, kept->time.toLocalTime().toString(u"yyyy-MM-dd hh:mm"_s)));
    }
    bool downloadedGoesBack = false;
    if (downloadedKept != kept->pictures.end()) {
        if (const DownloadedArt* art = downloadedArt(track)) {
            if (readImageFile(art->filePath) != downloadedKept->data)
                throw LibraryError(LibraryError::Failed,
                                   u"\"%1\" has other downloaded artwork now; it is left as "
                                   u"it is."_s.arg(entry.location));
        } else {
            downloadedGoesBack = true;
        }
    }

    if (fileGoesBack) {
        // Taking out what the change added leaves the pictures it kept, in
        // their order; each removed one then goes back where it stood.
        PictureChange back;
        back.remove = kept->addedPositions;
        for (const RemovedPicture& picture : kept->pictures)
            if (!picture.downloaded)
                back.insert.append({picture.position, picture.data, picture.record});
        changeFile(track, back, Journal::None);
    }
    if (downloadedGoesBack)
        storeDownloadedImage(track, downloadedKept->data, kept->path);
    m_removed->forget(changeId);
    return fileGoesBack || downloadedGoesBack;
}

} // namespace musiclibrary
