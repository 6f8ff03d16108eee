#include "musiclibrary/LibraryState.h"

#include "musiclibrary/SafeFileWrite.h"
#include "musiclibrary/tagio/PictureContainer.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace musiclibrary {

using namespace Qt::StringLiterals;

namespace {

QString kindText(const TrackEntry& entry) {
    return entry.kind.isEmpty() ? u"song file"_s : entry.kind;
}

} // namespace

void applyFileFacts(TrackEntry& entry, AudioFileFacts facts, bool namesFromTags) {
    if (namesFromTags) {
        const QString title = facts.title.trimmed();
        entry.name = title.isEmpty() ? QFileInfo(entry.location).completeBaseName() : facts.title;
        entry.artist = facts.artist;
        entry.album = facts.album;
        entry.trackNumber = facts.trackNumber;
    }
    if (entry.kind.isEmpty())
        entry.kind = facts.kind.isEmpty() ? kindForFileName(entry.location) : facts.kind;
    entry.facts = std::move(facts);
}

LibraryState::LibraryState(const QString& sourcePath, const QString& dataFolder,
                           std::unique_ptr<LibraryIndex> index)
    : m_sourcePath(sourcePath), m_dataFolder(dataFolder), m_index(std::move(index)) {}

LibraryState::~LibraryState() {
    writeOutdatedPlaylistFiles();
    SafeFileWrite::flushFolders();
}

void LibraryState::addTrack(TrackEntry entry) {
    entry.pictureSlots.clear();
    for (qsizetype i = 0; i < entry.facts.pictures.size(); ++i)
        entry.pictureSlots.append(newSlot());
    m_trackById.insert(entry.persistentId, int(m_tracks.size()));
    m_tracks.push_back(std::move(entry));
}

QString persistentIdHex(quint64 persistentId) {
    return u"%1"_s.arg(persistentId, 16, 16, QChar(u'0')).toUpper();
}

QByteArray readImageFile(const QString& imagePath) {
    QFile file(imagePath);
    const QFileInfo info(imagePath);
    if (imagePath.isEmpty())
        throw LibraryError(LibraryError::InvalidArgument, u"No image file was given."_s);
    if (!info.exists() || !info.isFile())
        throw LibraryError(LibraryError::NotFound,
                           u"The image file \"%1\" does not exist."_s.arg(imagePath));
    if (info.size() == 0)
        throw LibraryError(LibraryError::InvalidArgument,
                           u"The image file \"%1\" is empty."_s.arg(imagePath));
    if (info.size() > maxImageFileSize)
        throw LibraryError(
            LibraryError::InvalidArgument,
            u"The image file \"%1\" is too large to be used as artwork (%2 bytes)."_s.arg(
                imagePath, QString::number(info.size())));
    if (!file.open(QIODevice::ReadOnly))
        throw LibraryError(
            LibraryError::Unreadable,
            u"The image file \"%1\" cannot be read: %2."_s.arg(imagePath, file.errorString()));
    QByteArray data = file.read(maxImageFileSize + 1);
    if (data.isEmpty() || data.size() > maxImageFileSize)
        throw LibraryError(LibraryError::Unreadable,
                           u"The image file \"%1\" could not be read completely."_s.arg(imagePath));
    return data;
}

void LibraryState::requirePictureFile(int track, const QString& action) const {
    const TrackEntry& entry = m_tracks[size_t(track)];
    if (entry.location.isEmpty())
        throw LibraryError(
            LibraryError::NotFound,
            u"Cannot %1 \"%2\": the track has no song file."_s.arg(action, entry.name));
    if (!entry.fileExists)
        throw LibraryError(
            LibraryError::NotFound,
            u"Cannot %1 \"%2\": the file does not exist."_s.arg(action, entry.location));
    if (!entry.facts.picturesSupported)
        throw LibraryError(LibraryError::Unsupported,
                           u"Cannot %1 \"%2\": a %3 cannot hold artwork."_s.arg(
                               action, entry.location, kindText(entry)));
    if (!entry.facts.tagsReadable)
        throw LibraryError(
            LibraryError::Unreadable,
            u"Cannot %1 \"%2\": the file's tags cannot be read."_s.arg(action, entry.location));
}

int LibraryState::artworkCount(int track) const {
    if (downloadedArt(track))
        return 1;
    const TrackEntry& entry = m_tracks[size_t(track)];
    // A kind that cannot hold pictures simply has none.
    if (entry.fileExists && !entry.facts.picturesSupported)
        return 0;
    requirePictureFile(track, u"read the artwork of"_s);
    return int(entry.facts.pictures.size());
}

ArtworkRef LibraryState::artworkAt(int track, int position) const {
    const int count = artworkCount(track);
    if (position < 1 || position > count)
        throw LibraryError(
            LibraryError::InvalidArgument,
            u"There is no artwork %1 of \"%2\": the track has %3."_s.arg(
                QString::number(position), m_tracks[size_t(track)].name, QString::number(count)));
    if (const DownloadedArt* art = downloadedArt(track))
        return {track, art->slot, true};
    return {track, m_tracks[size_t(track)].pictureSlots[position - 1], false};
}

int LibraryState::picturePosition(const ArtworkRef& ref) const {
    requirePictureFile(ref.track, u"use the artwork of"_s);
    const qsizetype position = m_tracks[size_t(ref.track)].pictureSlots.indexOf(ref.slot);
    if (position < 0)
        throw LibraryError(LibraryError::Deleted,
                           u"This artwork of \"%1\" was removed or changed; read the track's "
                           u"artwork again."_s.arg(m_tracks[size_t(ref.track)].location));
    return int(position);
}

int LibraryState::artworkFormat(const ArtworkRef& ref) const {
    if (ref.downloaded) {
        const DownloadedArt* art = downloadedArt(ref.track);
        if (!art || art->slot != ref.slot)
            throw LibraryError(LibraryError::Deleted,
                               u"The downloaded artwork of \"%1\" was removed or replaced."_s.arg(
                                   m_tracks[size_t(ref.track)].name));
        return art->format;
    }
    return m_tracks[size_t(ref.track)].facts.pictures[picturePosition(ref)].format;
}

void LibraryState::saveArtwork(const ArtworkRef& ref, const QString& path) {
    QByteArray data;
    if (ref.downloaded) {
        artworkFormat(ref); // throws when the image is gone
        data = readImageFile(downloadedArt(ref.track)->filePath);
    } else {
        const int position = picturePosition(ref);
        const TrackEntry& entry = m_tracks[size_t(ref.track)];
        const QList<Picture> pictures = readPictures(entry.location);
        if (pictures.size() != entry.facts.pictures.size()) {
            // Changed by another program: positions may no longer mean what
            // this object was told, so nothing is saved.
            refreshFile(ref.track, std::nullopt);
            throw LibraryError(LibraryError::Deleted,
                               u"The song file \"%1\" changed since its artwork was read; read "
                               u"the track's artwork again."_s.arg(entry.location));
        }
        data = pictures[position].data;
    }
    if (path.isEmpty())
        throw LibraryError(LibraryError::InvalidArgument,
                           u"No file was given to save artwork to."_s);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw LibraryError(
            LibraryError::WriteFailed,
            u"Cannot save the artwork to \"%1\": %2."_s.arg(path, file.errorString()));
}

void LibraryState::deleteArtwork(const ArtworkRef& ref) {
    if (ref.downloaded) {
        artworkFormat(ref); // throws when the image is gone
        removeDownloadedArtwork(ref.track);
        return;
    }
    changeFile(ref.track, {{picturePosition(ref)}, {}});
}

ArtworkRef LibraryState::addArtwork(int track, const QString& imagePath) {
    requirePictureFile(track, u"add artwork to"_s);
    const QByteArray image = readImageFile(imagePath);
    changeFile(track, {{}, {{-1, image}}});
    const TrackEntry& entry = m_tracks[size_t(track)];
    if (entry.pictureSlots.isEmpty())
        throw LibraryError(
            LibraryError::Failed,
            u"The artwork added to \"%1\" cannot be found in the file."_s.arg(entry.location));
    return {track, entry.pictureSlots.last(), false};
}

void LibraryState::editArtwork(int track, const ArtworkEdit& edit) {
    const int count = artworkCount(track);
    const TrackEntry& entry = m_tracks[size_t(track)];
    QList<int> positions;
    for (int position : edit.removePositions) {
        if (position < 1 || position > count)
            throw LibraryError(LibraryError::InvalidArgument,
                               u"There is no artwork %1 of \"%2\": the track has %3."_s.arg(
                                   QString::number(position), entry.name, QString::number(count)));
        if (!positions.contains(position))
            positions.append(position);
    }
    // Every image is read before anything changes: a missing or unreadable
    // one must leave the song as it was.
    PictureChange change;
    for (const QString& path : edit.addImagePaths)
        change.insert.append({-1, readImageFile(path)});
    const bool hasDownloaded = downloadedArt(track) != nullptr;
    // Downloaded art stands alone in the collection: position 1 is it, and
    // the pictures of the file stay as they are.
    const bool removeDownloaded = hasDownloaded && !positions.isEmpty();
    if (!hasDownloaded)
        for (int position : positions)
            change.remove.append(position - 1);
    if (!change.isEmpty()) {
        requirePictureFile(track, change.insert.isEmpty() ? u"remove artwork from"_s
                                                          : u"add artwork to"_s);
        // The downloaded art that goes belongs to the same change: one
        // record keeps what both remove.
        changeFile(track, change,
                   removeDownloaded ? Journal::RemovedAndDownloaded : Journal::Removed);
    }
    // Downloaded art goes only once the file holds its replacement.
    if (removeDownloaded) {
        try {
            removeDownloadedArtwork(track, change.isEmpty() ? Journal::Removed : Journal::None);
        } catch (const LibraryError& error) {
            if (change.isEmpty())
                throw;
            throw LibraryError(
                error.number(),
                u"The artwork was added to \"%1\", but its downloaded artwork "
                u"could not be removed: %2"_s.arg(entry.location, error.description()));
        }
    }
}

QList<QByteArray> LibraryState::artworkData(int track) {
    if (const DownloadedArt* art = downloadedArt(track))
        return {readImageFile(art->filePath)};
    const int count = artworkCount(track); // throws when the file cannot be used
    const TrackEntry& entry = m_tracks[size_t(track)];
    if (count == 0)
        return {};
    const QList<Picture> pictures = readPictures(entry.location);
    if (pictures.size() != count) {
        const QString location = entry.location;
        refreshFile(track, std::nullopt);
        throw LibraryError(LibraryError::Deleted,
                           u"The song file \"%1\" changed since its artwork was read; read "
                           u"the track's artwork again."_s.arg(location));
    }
    QList<QByteArray> data;
    data.reserve(pictures.size());
    for (const Picture& picture : pictures)
        data.append(picture.data);
    return data;
}

void LibraryState::changeFile(int track, const PictureChange& change, Journal journal) {
    const TrackEntry& entry = m_tracks[size_t(track)];
    const DownloadedArt* downloaded =
        journal == Journal::RemovedAndDownloaded ? downloadedArt(track) : nullptr;
    qint64 journalled = 0;
    if (journal != Journal::None && (!change.remove.isEmpty() || downloaded)) {
        // Another program may have changed the pictures since they were
        // read: a position would then name a different picture, and the
        // wrong one would go.
        const QList<Picture> now = readPictures(entry.location);
        const bool unchanged =
            std::equal(now.begin(), now.end(), entry.facts.pictures.begin(),
                       entry.facts.pictures.end(), [](const Picture& a, const PictureFacts& b) {
                           return a.format == b.format && a.data.size() == b.byteSize;
                       });
        if (!unchanged) {
            const QString location = entry.location;
            refreshFile(track, std::nullopt);
            throw LibraryError(LibraryError::Deleted,
                               u"The song file \"%1\" changed since its artwork was read; read "
                               u"the track's artwork again."_s.arg(location));
        }
        journalled = journalFileChange(track, now, change, downloaded);
    }
    // The identities the pictures will have: the kept ones keep theirs.
    QList<quint64> slots;
    for (int entryIndex : tagio::orderAfter(entry.pictureSlots.size(), change))
        slots.append(entryIndex >= 0 ? entry.pictureSlots[entryIndex] : newSlot());
    std::optional<AudioFileFacts> written;
    try {
        written = changePictures(entry.location, change);
    } catch (...) {
        forgetJournalled(journalled); // the song is as it was
        throw;
    }
    refreshFile(track, slots, std::move(written));
}

void LibraryState::refreshFile(int track, std::optional<QList<quint64>> expectedSlots,
                               std::optional<AudioFileFacts> written) {
    TrackEntry& entry = m_tracks[size_t(track)];
    const FileStamp stamp = statFile(entry.location);
    entry.fileExists = stamp.isValid();
    applyFileFacts(entry, written ? std::move(*written) : readAudioFileFacts(entry.location),
                   m_namesFromTags);
    const qsizetype newCount = entry.facts.pictures.size();
    if (expectedSlots && expectedSlots->size() == newCount) {
        entry.pictureSlots = std::move(*expectedSlots);
    } else if (expectedSlots || newCount != entry.pictureSlots.size()) {
        // Not the change that was made: every earlier artwork object is stale.
        entry.pictureSlots.clear();
        for (qsizetype i = 0; i < newCount; ++i)
            entry.pictureSlots.append(newSlot());
    }
    if (m_index && stamp.isValid())
        m_index->storeFiles({{entry.location, IndexedFile{stamp, entry.facts}}});
}

} // namespace musiclibrary
