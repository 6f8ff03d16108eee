#include "musiclibrary/Library.h"

#include "musiclibrary/RollbackJournal.h"
#include "musiclibrary/SafeFileWrite.h"

#include "musiclibrary/FolderScan.h"
#include "musiclibrary/LibraryObjects.h"
#include "musiclibrary/LibraryState.h"
#include "musiclibrary/PlistLibrary.h"
#include "musiclibrary/TrackLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>

#include <utility>

namespace musiclibrary {

using namespace Qt::StringLiterals;

namespace {

// Hands out persistent ids: the ones the index remembers, else new random
// ones that no other track of the index has. New ids are written back in one
// transaction by commit().
class IdAssigner {
public:
    explicit IdAssigner(LibraryIndex* index) : m_index(index) {
        if (m_index) {
            m_known = m_index->loadIds();
            for (auto it = m_known.cbegin(); it != m_known.cend(); ++it)
                m_taken.insert(it.value());
        }
    }

    // The id for key; preferred (non-zero) is taken when no track has it yet.
    quint64 idFor(const QString& key, quint64 preferred = 0) {
        quint64 id = preferred;
        if (id == 0 || m_used.contains(id)) {
            id = m_known.value(key);
            if (id == 0 || m_used.contains(id)) {
                do {
                    id = QRandomGenerator::global()->generate64();
                } while (id == 0 || m_taken.contains(id) || m_used.contains(id));
                m_taken.insert(id);
                m_known.insert(key, id);
                m_new.append({key, id});
            }
        }
        m_used.insert(id);
        return id;
    }

    void commit() {
        if (m_index)
            m_index->storeIds(m_new);
    }

private:
    LibraryIndex* m_index;
    QHash<QString, quint64> m_known;
    QSet<quint64> m_taken; // ids the index has given to any key
    QSet<quint64> m_used;  // ids of this library's tracks
    QList<std::pair<QString, quint64>> m_new;
};

// File facts from the index when the file is unchanged, else from the file.
// The files read are written back in one transaction by commit().
class FactsSource {
public:
    explicit FactsSource(LibraryIndex* index) : m_index(index) {
        if (m_index)
            m_cached = m_index->loadFiles();
    }

    AudioFileFacts factsOf(const QString& path, const FileStamp& stamp) {
        const auto cached = m_cached.constFind(path);
        if (cached != m_cached.cend() && cached->stamp == stamp)
            return cached->facts;
        AudioFileFacts facts = readAudioFileFacts(path);
        m_changed.append({path, IndexedFile{stamp, facts}});
        return facts;
    }

    void commit() {
        if (m_index)
            m_index->storeFiles(m_changed);
    }

private:
    LibraryIndex* m_index;
    QHash<QString, IndexedFile> m_cached;
    QList<std::pair<QString, IndexedFile>> m_changed;
};

void buildFromFolder(LibraryState& state, const QString& folder) {
    state.setNamesFromTags(true);
    FactsSource facts(state.index());
    IdAssigner ids(state.index());
    const QList<FoundFile> files = listAudioFiles(folder);
    for (const FoundFile& file : files) {
        TrackEntry entry;
        entry.location = file.path;
        entry.fileExists = true;
        entry.persistentId = ids.idFor(file.path);
        applyFileFacts(entry, facts.factsOf(file.path, file.stamp), true);
        state.addTrack(std::move(entry));
    }
    facts.commit();
    ids.commit();
}

void buildFromLibraryFile(LibraryState& state, const QString& path) {
    state.setNamesFromTags(false);
    const PlistLibrary library = readPlistLibrary(path);
    const LocationMapper mapper(path, library.musicFolder);
    FactsSource facts(state.index());
    IdAssigner ids(state.index());
    QHash<QString, quint64> idOfTrackId;
    for (const PlistTrack& listed : library.tracks) {
        TrackEntry entry;
        entry.name = listed.name;
        entry.artist = listed.artist;
        entry.album = listed.album;
        entry.kind = listed.kind;
        entry.trackNumber = listed.trackNumber;
        entry.location = mapper.map(listed.location);
        // Tracks without an id of their own are told apart by the library
        // file and their key in it.
        entry.persistentId = ids.idFor(path + u'#' + listed.trackId,
                                       listed.hasPersistentId ? listed.persistentId : 0);
        idOfTrackId.insert(listed.trackId, entry.persistentId);
        // A write cut off in the song's folder is rolled back before the
        // song is looked at.
        if (!entry.location.isEmpty())
            SafeFileWrite::removeStaleCopiesOnce(QFileInfo(entry.location).absolutePath());
        const FileStamp stamp = statFile(entry.location);
        entry.fileExists = stamp.isValid();
        if (entry.fileExists)
            applyFileFacts(entry, facts.factsOf(entry.location, stamp), false);
        else if (entry.kind.isEmpty() && !entry.location.isEmpty())
            entry.kind = kindForFileName(entry.location);
        state.addTrack(std::move(entry));
    }
    facts.commit();
    ids.commit();
    for (const PlistPlaylist& playlist : library.playlists) {
        QList<quint64> members;
        for (const QString& trackId : playlist.trackIds)
            if (const quint64 id = idOfTrackId.value(trackId))
                members.append(id);
        state.addLibraryFilePlaylist(playlist.name, members);
    }
}

QString defaultDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           u"/Tarnwick/Quillmoth/Library"_s;
}

[[noreturn]] void throwNotALibrary(const QString& path) {
    throw LibraryError(LibraryError::Unreadable,
                       u"\"%1\" is neither a music folder nor a library file."_s.arg(path));
}

} // namespace

ITunesPtr openLibrary(const QString& path, const LibraryOptions& options) {
    if (path.trimmed().isEmpty())
        throw LibraryError(LibraryError::InvalidArgument, u"No music library was given."_s);
    const QFileInfo info(path);
    if (!info.exists())
        throw LibraryError(LibraryError::NotFound,
                           u"The music library \"%1\" does not exist."_s.arg(path));
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    const bool isFolder = info.isDir();
    if (isFolder) {
        if (!info.isReadable() || !info.isExecutable())
            throw LibraryError(LibraryError::Unreadable,
                               u"The music folder \"%1\" cannot be read."_s.arg(path));
    } else if (info.isFile()) {
        QFile file(absolute);
        if (!file.open(QIODevice::ReadOnly))
            throw LibraryError(
                LibraryError::Unreadable,
                u"The library file \"%1\" cannot be read: %2."_s.arg(path, file.errorString()));
        if (!looksLikePlist(file.read(1024)))
            throwNotALibrary(path);
    } else {
        throwNotALibrary(path);
    }

    RecoverInterruptedWrites();
    const QString dataFolder =
        QDir::cleanPath(options.dataFolder.isEmpty() ? defaultDataFolder() : options.dataFolder);
    QDir().mkpath(dataFolder);
    QString notice;
    auto index = LibraryIndex::open(dataFolder + u"/index.sqlite"_s, &notice);
    if (!notice.isEmpty() && options.notify)
        options.notify(notice);
    auto state = std::make_shared<LibraryState>(absolute, dataFolder, std::move(index));
    state->setRemovedLimits(options.removed);
    if (isFolder)
        buildFromFolder(*state, absolute);
    else
        buildFromLibraryFile(*state, absolute);
    state->loadDownloads();
    state->loadOwnPlaylists();
    return makeLibraryObject(std::move(state));
}

void FinishWrites() {
    SafeFileWrite::flushFolders();
}

QStringList RecoverInterruptedWrites() {
    return RollbackJournal::recoverListed();
}

} // namespace musiclibrary
