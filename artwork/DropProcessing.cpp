#include "artwork/DropProcessing.h"

#include "artwork/FolderImageWrite.h"
#include "artwork/ImageCheck.h"
#include "catalogue/CatalogueSession.h"
#include "catalogue/Discovery.h"
#include "catalogue/FolderListing.h"
#include "catalogue/LongRun.h"
#include "catalogue/PathOps.h"
#include "catalogue/RowKey.h"
#include "foldertree/FolderTree.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

void show(support::MessageBoxes* messages, const QString& text, int icon) {
    if (messages)
        messages->show(text, QString(), support::MbOk, icon);
}

QString nameOf(const musiclibrary::TrackPtr& track) {
    try {
        return track->Name();
    } catch (...) {
        return {};
    }
}

QString kindOf(const musiclibrary::TrackPtr& track) {
    try {
        return track->KindAsString();
    } catch (...) {
        return {};
    }
}

// Whether an eligible record is on the Eligible list under the view filter.
bool shownUnder(catalogue::ArtTypes filter, catalogue::ArtTypes types) {
    return (filter == 0 && types == 0) || (filter & types) != 0;
}

} // namespace

QString BusyDropMessage() {
    return u"Please do not drop items while Quillmoth is busy."_s;
}

QString SelectOneSongMessage() {
    return u"Please drag and drop an image when you have exactly one song selected on either the "
           u"Eligible Songs or Ineligible Songs tab."_s;
}

QString MissingSongMessage(const QString& name, const QString& location) {
    QString first = u"The song '"_s + name + u"' could not be found on your hard disk."_s;
    if (!location.isEmpty())
        first += u"  (It was expected to be found at '"_s + location + u"'.)"_s;
    return catalogue::Paragraphs(
        {first, u"You cannot add cover art to a song whose file does not exist."_s,
         u"Please select this song in iTunes, right-click it and choose Get Info, the follow the "
         u"prompts to manually locate the song file.  Once iTunes has been updated, you can "
         u"return to Quillmoth and click on Step 1: Scan iTunes again to proceed."_s});
}

QString KindCannotHoldArtMessage(const QString& name, const QString& kind) {
    return u"The song '"_s + name + u"' is a '"_s + kind +
           u",' which does not support embedding cover art."_s;
}

QString NotAnImageMessage() {
    return catalogue::Paragraphs(
        {u"Please only drop images of album cover art."_s,
         u"Drag and drop of artwork works best from Internet Explorer. If you are using a "
         u"different browser, please try IE instead for drag and drop."_s});
}

QString FolderNotFoundMessage(const QString& folder) {
    return catalogue::Paragraphs(
        {u"Cannot continue because '"_s + folder +
             u"' could not be found in the internal database."_s,
         u"Please report this problem to "_s + catalogue::SupportAddress()});
}

void ProcessDrop(DropEnvironment& environment, const QStringList& dropFiles) {
    catalogue::CatalogueSession& session = environment.session;
    support::MessageBoxes* messages = environment.run.ui.messages;
    catalogue::RunView defaultView;
    catalogue::RunView& view = environment.run.view ? *environment.run.view : defaultView;
    if (environment.busy != 0) {
        show(messages, BusyDropMessage(), support::MbExclamation);
        return;
    }
    const int tab = view.currentTab();
    catalogue::SongList& list = session.ListMain(tab);
    if (!list.HasExactlyNSelected(1)) {
        show(messages, SelectOneSongMessage(), support::MbInformation);
        return;
    }
    const int row = list.selectedRow();
    view.scrollToRow(tab, row);
    if (environment.run.ui.events)
        environment.run.ui.events->processPendingEvents();
    const musiclibrary::TrackPtr track =
        session.Library ? catalogue::RowTrack(*session.Library, list.model().key(row)) : nullptr;
    if (!track)
        return;
    const QString location = catalogue::TrackLocation(track);
    if (location.isEmpty() || !catalogue::PathExists(location)) {
        show(messages, MissingSongMessage(nameOf(track), location), support::MbInformation);
        return;
    }
    if (!catalogue::FileKindSupportsEmbedding(location, track)) {
        show(messages, KindCannotHoldArtMessage(nameOf(track), kindOf(track)),
             support::MbExclamation);
        return;
    }
    const QString folder = catalogue::FolderOfPath(location);
    // The folder's Folder.jpg in whatever case it is spelt.
    const QString found =
        catalogue::FindNamedFile(catalogue::ListFolderFiles(folder), u"Folder.jpg"_s);
    const QString target = folder + (found.isEmpty() ? u"Folder.jpg"_s : found);
    const bool hadFolderJpg = !found.isEmpty();
    const QString dropped = dropFiles.value(0);

    // The image is checked before it is offered: what cannot be read whole,
    // or declares an absurd size, is no cover.
    QByteArray image;
    int answer = ConfirmImageUnreadable;
    if (ReadImageFile(dropped, image).isEmpty())
        answer = hadFolderJpg ? environment.confirmation.ConfirmReplace(location, dropped, target)
                              : environment.confirmation.ConfirmNewFolderJpg(dropped);
    if (answer == ConfirmImageUnreadable) {
        show(messages, NotAnImageMessage(), support::MbExclamation);
        return;
    }
    if (answer != ConfirmYes)
        return;
    FolderImageWriteOptions options;
    options.existing = hadFolderJpg ? target : QString();
    const QString failure = WriteFolderImage(target, image, options);
    if (!failure.isEmpty()) {
        show(messages, failure, support::MbExclamation);
        return;
    }
    if (!hadFolderJpg)
        ApplyNewFolderJpg(session, environment.run, location);
    view.showSelectedRow(tab);
    view.refreshList(tab);
}

void ApplyNewFolderJpg(catalogue::CatalogueSession& session, catalogue::RunEnvironment& run,
                       const QString& location) {
    const QString folder = catalogue::FolderOfPath(location);
    const QByteArray encoded = QFile::encodeName(folder);
    const int32_t node = Tree_FindPathNode(
        session.PathNodeTree, std::string_view(encoded.constData(), size_t(encoded.size())));
    if (node == 0) {
        show(run.ui.messages, FolderNotFoundMessage(folder), support::MbExclamation);
        return;
    }
    catalogue::LongRun longRun(run.progress, session.CancelRequested, run.ui.events);
    const int32_t count = session.Catalogue.CatalogueCount();
    longRun.begin(count);
    for (int32_t index = 1; index <= count; ++index) {
        catalogue::TrackRecord& record = session.Catalogue[index];
        if (record.PathNode == node && record.FileExists &&
            !(record.ArtTypes & catalogue::ArtKindFolderJpg)) {
            const musiclibrary::TrackPtr track =
                catalogue::CatalogueTrack(*session.Library, session.Catalogue, index);
            if (!track)
                break;
            record.ArtTypes |= catalogue::ArtKindFolderJpg;
            QString key;
            try {
                key = catalogue::MakeRowKey(*session.Library, track, index);
            } catch (...) {
            }
            if (record.Status == catalogue::StatusEligible) {
                // The row is looked for rather than assumed from the filter:
                // a scan lists songs without any artwork whatever the filter,
                // and a second row of one song would run it twice.
                const int row = session.Eligible.model().findRowByKey(key);
                if (row >= 0)
                    session.Eligible.model().setText(row, catalogue::ColumnDetail,
                                                     catalogue::ArtTypeNames(record.ArtTypes));
                else
                    catalogue::AddEligibleRow(session, index, track, true);
            } else if (record.Status == catalogue::StatusNoArtwork) {
                const int row = session.Ineligible.model().findRowByKey(key);
                if (row >= 0) {
                    session.Ineligible.model().removeSongRow(row);
                    session.Counts.UpdateTabCounts(0, -1);
                }
                if (shownUnder(session.ViewFilter, record.ArtTypes))
                    catalogue::AddEligibleRow(session, index, track, true);
            }
        }
        if (longRun.itemDone(index))
            break;
    }
    longRun.end(true);
}

} // namespace artwork
