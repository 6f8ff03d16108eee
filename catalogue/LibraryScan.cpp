#include "catalogue/LibraryScan.h"

#include "catalogue/CatalogueSession.h"
#include "catalogue/Discovery.h"
#include "catalogue/LongRun.h"
#include "catalogue/PathOps.h"
#include "catalogue/ProgressPanel.h"
#include "catalogue/RecordRow.h"
#include "catalogue/RowKey.h"
#include "foldertree/FolderTree.h"

#include <QFile>

#include <exception>
#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace catalogue {

namespace {

using musiclibrary::LibraryError;
using musiclibrary::TrackPtr;

// Rows reach the lists in batches: one model notification per batch keeps
// a view responsive, and the lists still grow visibly during a long scan.
constexpr size_t kRowBatch = 512;

void showMessage(const ScanEnvironment& environment, const QString& text, int icon) {
    if (environment.ui.messages)
        environment.ui.messages->show(text, QString(), support::MbOk, icon);
}

QString describe(const std::exception& error) {
    if (const auto* libraryError = dynamic_cast<const LibraryError*>(&error))
        return libraryError->description();
    return QString::fromLocal8Bit(error.what());
}

// The rows that the loop has made and the lists have not received yet.
struct PendingRows {
    std::vector<SongRow> eligible;
    std::vector<SongRow> ineligible;

    void flushInto(CatalogueSession& session) {
        session.Eligible.addRows(std::move(eligible));
        session.Ineligible.addRows(std::move(ineligible));
        eligible.clear();
        ineligible.clear();
    }
    size_t size() const { return eligible.size() + ineligible.size(); }
};

// Per-scan state that saves work from one song to the next.
class TrackScanner {
public:
    TrackScanner(CatalogueSession& session, const ScanEnvironment& environment)
        : m_session(session), m_folders(environment.lister) {}

    void scan(const musiclibrary::TrackCollectionPtr& tracks, int32_t index, PendingRows& rows);

private:
    void readFields(const TrackPtr& track, TrackRecord& record);
    void registerFolder(TrackRecord& record, int32_t index);
    void discover(const TrackPtr& track, TrackRecord& record);
    void place(const TrackRecord& record, int32_t index, PendingRows& rows);

    CatalogueSession& m_session;
    FolderFactsCache m_folders;
    // Songs of one album follow each other: their folder text is shared
    // rather than made anew for each.
    QString m_lastFolder;
    QByteArray m_lastFolderEncoded;
    // Whether the name and the ids of the current song could be read; the
    // row key needs both.
    bool m_nameRead = false;
    bool m_idsRead = false;
};

void TrackScanner::scan(const musiclibrary::TrackCollectionPtr& tracks, int32_t index,
                        PendingRows& rows) {
    TrackRecord& record = m_session.Catalogue[index];
    TrackPtr track;
    try {
        track = tracks->Item(index);
    } catch (...) {
    }
    if (!track) {
        // Nothing is known of this song: no values of an earlier scan may
        // remain, and it is listed nowhere.
        record = TrackRecord();
        record.Status = StatusNoLocation;
        return;
    }
    readFields(track, record);
    record.Location = TrackLocation(track);
    if (record.Location.isEmpty()) {
        record.Status = StatusNoLocation;
    } else {
        registerFolder(record, index);
        record.FileExists = PathExists(record.Location);
        if (!record.FileExists)
            record.Status = StatusFileMissing;
        else
            discover(track, record);
    }
    place(record, index, rows);
}

void TrackScanner::readFields(const TrackPtr& track, TrackRecord& record) {
    // Each field on its own. A field that cannot be read is left empty
    // rather than as it was: a reused record would otherwise show the
    // artist, album, name or number of the song it described in an earlier
    // scan, which is a different song whenever the library order changed.
    record.Album.clear();
    record.Artist.clear();
    try {
        record.Album = track->Album();
    } catch (...) {
    }
    try {
        record.Artist = track->Artist();
    } catch (...) {
    }
    record.ArtTypes = 0;
    record.FormatOk = false;
    record.FileExists = false;
    record.Status = StatusEligible;
    record.OtherImages.clear();
    // Nor may it keep another song's folder, node or GUID.
    record.Folder.clear();
    record.PathNode = 0;
    record.WmpGuidLcase.clear();
    record.Name.clear();
    m_nameRead = false;
    try {
        record.Name = track->Name();
        m_nameRead = true;
    } catch (...) {
    }
    record.TrackNumber = 0;
    try {
        const int number = track->TrackNumber();
        // A number beyond 16 bits cannot be stored: like a failed read.
        if (number >= std::numeric_limits<int16_t>::min() &&
            number <= std::numeric_limits<int16_t>::max())
            record.TrackNumber = static_cast<int16_t>(number);
    } catch (...) {
    }
    record.PersistentIdHigh = 0;
    record.PersistentIdLow = 0;
    m_idsRead = false;
    try {
        int32_t high = 0;
        int32_t low = 0;
        m_session.Library->GetITObjectPersistentIDs(track, high, low);
        record.PersistentIdHigh = high;
        record.PersistentIdLow = low;
        m_idsRead = true;
    } catch (...) {
    }
}

void TrackScanner::registerFolder(TrackRecord& record, int32_t index) {
    const QString& location = record.Location;
    const qsizetype slash = location.lastIndexOf(u'/');
    const bool sameFolder = slash >= 0 && slash + 1 == m_lastFolder.size() &&
                            QStringView(location).left(slash + 1) == m_lastFolder;
    if (!sameFolder) {
        m_lastFolder = FolderOfPath(location);
        m_lastFolderEncoded = QFile::encodeName(m_lastFolder);
    }
    record.Folder = m_lastFolder;
    record.PathNode =
        Tree_AddPathNode(m_session.PathNodeTree,
                         std::string_view(m_lastFolderEncoded.constData(),
                                          static_cast<size_t>(m_lastFolderEncoded.size())),
                         index);
}

void TrackScanner::discover(const TrackPtr& track, TrackRecord& record) {
    record.FormatOk = FileKindSupportsEmbedding(record.Location, track);
    if (!record.FormatOk)
        record.Status = StatusFormatUnsupported;

    record.WmpGuidLcase = m_folders.wmpGuid(record.Folder);
    ArtTypes library = 0;
    try {
        library = LibraryArtTypes(track);
    } catch (...) {
        // Pictures that cannot be counted count as none; the folder's
        // images still do.
    }
    record.ArtTypes = library | m_folders.folderArtTypes(record.Folder, record.WmpGuidLcase);
    if (record.ArtTypes & ArtKindOther)
        record.OtherImages = m_folders.otherImages(record.Folder);
}

void TrackScanner::place(const TrackRecord& record, int32_t index, PendingRows& rows) {
    const bool eligible = record.Status == StatusEligible;
    if (eligible && record.ArtTypes != 0 && !(record.ArtTypes & m_session.ViewFilter))
        return; // hidden by the view filter
    QString key;
    if (m_nameRead && m_idsRead)
        key = RowKeyText(record.PersistentIdHigh, record.PersistentIdLow, index, record.Name);
    if (eligible) {
        m_session.Counts.UpdateTabCounts(1, 0);
        rows.eligible.push_back(
            MakeSongRow(record, ArtTypeNames(record.ArtTypes), std::move(key), true));
    } else {
        m_session.Counts.UpdateTabCounts(0, 1);
        rows.ineligible.push_back(
            MakeSongRow(record, StatusText(record.Status), std::move(key), false));
    }
}

// Reads the library's tracks and their count; on failure returns false
// with the failure's description.
bool openTracks(CatalogueSession& session, musiclibrary::TrackCollectionPtr& tracks, int32_t& count,
                QString& failure) {
    if (!session.RefreshLibrary(failure))
        return false;
    try {
        if (!session.Library)
            throw LibraryError(LibraryError::Failed, u"No music library is open."_s);
        const musiclibrary::PlaylistPtr playlist = session.Library->LibraryPlaylist();
        tracks = playlist ? playlist->Tracks() : nullptr;
        if (!tracks)
            throw LibraryError(LibraryError::Failed, u"The library has no list of songs."_s);
        count = std::max(0, tracks->Count());
        return true;
    } catch (const std::exception& error) {
        failure = describe(error);
        return false;
    } catch (...) {
        failure = u"The library's songs could not be read."_s;
        return false;
    }
}

} // namespace

QString TreeCreationFailedMessage() {
    return u"The internal database could not be created. Cannot continue. Please report this "
           u"error to "_s +
           SupportAddress();
}

void ScanLibrary(CatalogueSession& session, ScanEnvironment& environment) {
    ProgressPanel& progress = environment.progress;

    Tree_Free(session.PathNodeTree);
    session.PathNodeTree = environment.newTree ? environment.newTree() : 0;
    if (session.PathNodeTree == 0) {
        showMessage(environment, TreeCreationFailedMessage(), support::MbExclamation);
        return;
    }

    session.Counts.ResetTabCounts();

    musiclibrary::TrackCollectionPtr tracks;
    int32_t trackCount = 0;
    QString failure;
    if (!openTracks(session, tracks, trackCount, failure)) {
        // Counts are already 0: empty lists and catalogue match them.
        session.Eligible.clear();
        session.Ineligible.clear();
        session.Catalogue.SetCatalogueCount(0);
        EndProgress(progress, false, session.CancelRequested);
        showMessage(environment, failure, support::MbExclamation);
        return;
    }

    LongRun run(progress, session.CancelRequested, environment.ui.events);
    run.begin(trackCount);
    progress.takeFocus();

    for (SongList* list : {&session.Eligible, &session.Ineligible}) {
        list->clear();
        list->setSortingEnabled(false);
    }
    session.Catalogue.EnsureCapacity(trackCount);
    session.Catalogue.SetCatalogueCount(0);

    TrackScanner scanner(session, environment);
    PendingRows rows;
    for (int32_t index = 1; index <= trackCount; ++index) {
        session.Catalogue.SetCatalogueCount(index);
        scanner.scan(tracks, index, rows);
        if (rows.size() >= kRowBatch)
            rows.flushInto(session);
        if (run.itemDone(index))
            break;
    }
    rows.flushInto(session);

    for (SongList* list : {&session.Eligible, &session.Ineligible}) {
        list->setSortColumn(ColumnFullPath);
        list->setSortingEnabled(true);
        run.letEventsRun();
        if (list->rowCount() > 0)
            list->selectRow(0);
    }
    run.end(true);
    if (environment.hooks) {
        environment.hooks->enableSelectionSteps();
        environment.hooks->showCurrentSelection();
    }
}

void RefreshEligibleList(CatalogueSession& session, ScanHooks* hooks) {
    if (hooks)
        hooks->pushBusyPointer();
    session.Eligible.clear();
    session.Counts.ResetEligibleCount();

    musiclibrary::TrackCollectionPtr tracks;
    try {
        const musiclibrary::PlaylistPtr playlist =
            session.Library ? session.Library->LibraryPlaylist() : nullptr;
        tracks = playlist ? playlist->Tracks() : nullptr;
    } catch (...) {
    }

    std::vector<SongRow> rows;
    const ArtTypes filter = session.ViewFilter;
    for (int32_t index = 1; tracks && index <= session.Catalogue.CatalogueCount(); ++index) {
        const TrackRecord& record = session.Catalogue[index];
        if (record.Status != StatusEligible)
            continue;
        // Unlike the scan, songs without any artwork show only under an
        // empty filter.
        if (!(record.ArtTypes & filter) && !(record.ArtTypes == 0 && filter == 0))
            continue;
        TrackPtr track;
        QString key;
        try {
            track = tracks->Item(index);
            if (!track || track->Name() != record.Name)
                continue;
            key = MakeRowKey(*session.Library, track, index);
        } catch (...) {
            continue;
        }
        session.Counts.UpdateTabCounts(1, 0);
        rows.push_back(MakeSongRow(record, ArtTypeNames(record.ArtTypes), std::move(key), true));
    }
    session.Eligible.addRows(std::move(rows));
    if (hooks)
        hooks->popBusyPointer();
}

void EndProgress(ProgressPanel& progress, bool success, bool cancelRequested) {
    if (success && !cancelRequested)
        progress.done();
    progress.setActive(false);
}

} // namespace catalogue
