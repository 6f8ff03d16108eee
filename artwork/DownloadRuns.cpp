#include "artwork/DownloadRuns.h"

#include "artwork/EmbeddingEngine.h"
#include "catalogue/CatalogueSession.h"
#include "catalogue/Discovery.h"
#include "catalogue/PathOps.h"
#include "catalogue/TempArtwork.h"
#include "support/FileShell.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

using musiclibrary::TrackPtr;

const QString StepTwoPointer =
    u"Click the Step 2: Select Tracks toolbar button for more information."_s;

QString describe(const std::exception& error) {
    if (const auto* libraryError = dynamic_cast<const musiclibrary::LibraryError*>(&error))
        return libraryError->description();
    return QString::fromLocal8Bit(error.what());
}

QString nameOf(const TrackPtr& track) {
    try {
        return track->Name();
    } catch (...) {
        return {};
    }
}

} // namespace

QString DownloadPlaylistName() {
    return u"Quillmoth - download artwork"_s;
}

musiclibrary::UserPlaylistPtr RecreateUserPlaylist(musiclibrary::IiTunes& library,
                                                   const QString& name, QString* failure) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return nullptr;
    try {
        const musiclibrary::SourcePtr source = library.LibrarySource();
        const musiclibrary::PlaylistCollectionPtr playlists =
            source ? source->Playlists() : nullptr;
        if (const musiclibrary::PlaylistPtr old =
                playlists ? playlists->ItemByName(trimmed) : nullptr)
            old->Delete();
    } catch (...) {
        // No old playlist, or one that cannot go: the new one is made anyway.
    }
    try {
        return library.CreatePlaylist(trimmed);
    } catch (const std::exception& error) {
        if (failure)
            *failure = describe(error);
        return nullptr;
    }
}

QString PlaylistNothingCheckedText(bool listHasRows) {
    return listHasRows ? u"You have not chosen any eligible songs to have their downloaded cover "
                         u"art embedded. Please place a checkmark on at least one eligible song."_s
                       : u"There are no songs eligible to have their downloaded cover art "
                         u"embedded."_s;
}

QString EmbedDownloadedNothingCheckedText(bool listHasRows) {
    return listHasRows ? u"You have not chosen any eligible songs to have their downloaded cover "
                         u"art embedded.  Please place a checkmark on at least one eligible song."_s
                       : u"There are no songs eligible to have their downloaded cover art "
                         u"embedded."_s;
}

QString PlaylistDoneText(int added) {
    const QString name = DownloadPlaylistName();
    QStringList paragraphs{u"Done creating the '"_s + name + u"' playlist in iTunes."_s,
                           u"Number of songs added to the playlist: "_s + QString::number(added)};
    if (added >= 1) {
        paragraphs.append(u"You should now switch to iTunes and select the '"_s + name +
                          u"' playlist. Select all of the songs on the playlist ('Edit' menu, "
                          u"'Select All'), then open the 'Advanced' menu and choose 'Get Album "
                          u"Artwork'."_s);
        paragraphs.append(u"After doing that, Quillmoth will need to re-scan iTunes (click the "
                          u"'Step 1: Scan iTunes' toolbar button)."_s);
    }
    return catalogue::Paragraphs(paragraphs);
}

QString DownloadInstructionsText() {
    return catalogue::Paragraphs(
        {u"Here is how to make iTunes download cover artwork:"_s,
         u"First, make sure that you have already used the Create Playlist of Artwork to "
         u"Download command from the Step 3: Run Wizard button."_s,
         u"Next, switch to iTunes. Click on the '"_s + DownloadPlaylistName() +
             u"' playlist, then open the Edit menu and choose Select All."_s,
         u"Finally, open the Advanced menu and choose Get Album Artwork."_s});
}

QString EmbedDownloadedDoneText(int embedded) {
    return catalogue::Paragraphs(
        {u"Done embedding downloaded artwork."_s,
         u"Number of song files processed: "_s + QString::number(embedded)});
}

int AddCheckedToDownloadPlaylist(ArtworkRunContext& context, QString* failure) {
    catalogue::CatalogueSession& session = context.session;
    const int tab = context.currentTab();
    if (catalogue::ReportNothingChecked(session.ListMain(tab), context.messages(),
                                        PlaylistNothingCheckedText(true),
                                        PlaylistNothingCheckedText(false)))
        return -1;
    musiclibrary::UserPlaylistPtr playlist;
    int added = 0;
    catalogue::CheckedRowSteps steps;
    steps.description = u"Add to the download playlist"_s;
    steps.begin = [&] {
        if (session.Library)
            playlist = RecreateUserPlaylist(*session.Library, DownloadPlaylistName(), failure);
        return playlist != nullptr;
    };
    steps.step = [&](const catalogue::CheckedRow& row) {
        RowReport report{row.index, u"changed"_s, {}, u"added to the playlist"_s};
        try {
            playlist->AddTrack(row.track);
            ++added;
        } catch (const std::exception& error) {
            report.status = u"failed"_s;
            report.detail = describe(error);
            if (context.messages() &&
                context.messages()->show(
                    catalogue::Paragraphs(
                        {u"The following error occurred while trying to add '"_s +
                             nameOf(row.track) + u"' to the '"_s + DownloadPlaylistName() +
                             u"' playlist:"_s,
                         report.detail,
                         u"Choose OK to continue, or Cancel to stop adding songs."_s}),
                    QString(), support::MbOkCancel, support::MbExclamation) == support::IdCancel)
                session.CancelRequested = true;
        }
        context.report(report);
        return catalogue::RowOutcome::Stays;
    };
    steps.closingText = [&] { return PlaylistDoneText(added); };
    const catalogue::CheckedRowRunResult result =
        catalogue::RunCheckedRows(session, context.environment, tab, steps);
    return result.begun ? added : -1;
}

bool MakeSongWritable(const TrackPtr& track) {
    const QString location = catalogue::TrackLocation(track);
    const QFileInfo info(location);
    if (location.isEmpty() || !info.exists() || info.isDir() || !info.isReadable())
        return false;
    return support::MakeFileWritable(location);
}

bool EmbedDownloadedTrack2(const TrackPtr& track, support::MessageBoxes* messages,
                           bool* cancelRequested, EmbedReport* reportOut) {
    EmbedReport local;
    EmbedReport& report = reportOut ? *reportOut : local;
    report = {};
    if (!track) {
        report.detail = u"the song can no longer be found"_s;
        return false;
    }
    QString path;
    try {
        const musiclibrary::ArtworkCollectionPtr artwork = track->Artwork();
        if (!artwork || artwork->Count() != 1) {
            report.detail = u"the song does not hold exactly one image"_s;
            return false;
        }
        path = catalogue::SaveDownloadedArtworkToTemp(track);
    } catch (const std::exception& error) {
        report.detail = describe(error);
    }
    if (path.isEmpty()) {
        if (report.detail.isEmpty())
            report.detail = u"the song has no downloaded artwork"_s;
        return false;
    }
    report.imagePath = path;
    if (!MakeSongWritable(track)) {
        report.detail = u"the song file cannot be made writable"_s;
        return false;
    }
    try {
        // One write: the file gains the image, then the downloaded art goes.
        track->EditArtwork({{1}, {path}});
        report.status = EmbedReport::Status::Embedded;
        return true;
    } catch (const std::exception& error) {
        report.status = EmbedReport::Status::Failed;
        report.detail = describe(error);
    }
    if (messages &&
        messages->show(EmbeddingErrorMessage(path, nameOf(track), report.detail, true), QString(),
                       support::MbOkCancel, support::MbExclamation) == support::IdCancel &&
        cancelRequested)
        *cancelRequested = true;
    return false;
}

int DoEmbedDownloaded2(ArtworkRunContext& context) {
    catalogue::CatalogueSession& session = context.session;
    const int tab = context.currentTab();
    catalogue::SongList& list = session.ListMain(tab);
    if (catalogue::ReportNothingChecked(list, context.messages(),
                                        EmbedDownloadedNothingCheckedText(true),
                                        EmbedDownloadedNothingCheckedText(false)))
        return -1;
    int embedded = 0;
    catalogue::CheckedRowSteps steps;
    steps.description = u"Embed downloaded artwork"_s;
    steps.step = [&](const catalogue::CheckedRow& row) {
        if (!catalogue::FirstArtworkIsDownloaded(row.track)) {
            context.report(
                {row.index, u"unchanged"_s, {}, u"the song has no downloaded artwork"_s});
            return catalogue::RowOutcome::Stays; // stays checked
        }
        EmbedReport report;
        if (EmbedDownloadedTrack2(row.track, context.messages(), &session.CancelRequested,
                                  &report)) {
            ++embedded;
            if (catalogue::TrackRecord* record = session.Catalogue.Record(row.index)) {
                try {
                    record->ArtTypes = catalogue::DiscoverArtTypes(row.track, record->WmpGuidLcase);
                } catch (...) {
                }
                list.model().setText(row.row, catalogue::ColumnDetail,
                                     catalogue::ArtTypeNames(record->ArtTypes));
            }
        }
        list.model().setChecked(row.row, false);
        context.report(
            {row.index, EmbedStatusWord(report.status), report.imagePath, report.detail});
        return catalogue::RowOutcome::Stays;
    };
    steps.closingText = [&] { return EmbedDownloadedDoneText(embedded); };
    catalogue::RunCheckedRows(session, context.environment, tab, steps);
    return embedded;
}

} // namespace artwork
