#include "artwork/ThumbnailRun.h"

#include "artwork/ArtworkFacts.h"
#include "artwork/FolderImageWrite.h"
#include "catalogue/CatalogueSession.h"
#include "catalogue/FolderListing.h"
#include "catalogue/PathOps.h"
#include "support/FileAttributes.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

QString describe(const std::exception& error) {
    if (const auto* libraryError = dynamic_cast<const musiclibrary::LibraryError*>(&error))
        return libraryError->description();
    return QString::fromLocal8Bit(error.what());
}

// The image a song gives its folder, 0 for none.
int chooseImage(SongArtwork& artwork, int32_t choice, int targetPixels) {
    const int n = artwork.count();
    if (n < 1)
        return 0;
    switch (choice) {
    case ThumbnailFirst:
        return 1;
    case ThumbnailLast:
        return n;
    case ThumbnailSmallest:
    case ThumbnailLargest: {
        int best = 0;
        int32_t bestArea = 0;
        for (int position = 1; position <= n; ++position) {
            const int32_t area = artwork.area(position);
            if (area <= 0)
                continue;
            const bool better = choice == ThumbnailSmallest ? area < bestArea : area > bestArea;
            if (best == 0 || better) {
                best = position;
                bestArea = area;
            }
        }
        return best;
    }
    default:
        return ClosestArtwork(artwork, targetPixels);
    }
}

} // namespace

QString ThumbnailTargetPath(const QString& location, const QString& baseExt) {
    const QString folder = catalogue::FolderOfPath(location);
    if (location.isEmpty() || folder.isEmpty() || baseExt.isEmpty())
        return {};
    return folder + baseExt;
}

bool IsValidFileName(const QString& name) {
    const QString text = name.toLower().trimmed();
    if (text.isEmpty())
        return false;
    for (const QChar c : u"\\/:*?<>|\""_s)
        if (text.contains(c))
            return false;
    return true;
}

QString ThumbnailDoneText(const QString& baseExt, const ThumbnailCounts& counts) {
    QString text = u"Done creating "_s + baseExt + u" files.\n\nTotal files written:    \t"_s +
                   QString::number(counts.total);
    if (counts.total != counts.unique && counts.unique >= 1)
        text += u"\nUnique files written:\t"_s + QString::number(counts.unique) +
                u"\n\nNote: The 'Total' number is higher than the 'Unique' number since the "_s +
                baseExt + u" file may have been overwritten several times in the same folder."_s;
    return text;
}

ThumbnailCounts CreateFolderThumbnails(ArtworkRunContext& context,
                                       const ThumbnailParameters& parameters) {
    catalogue::CatalogueSession& session = context.session;
    const int tab = context.currentTab();
    catalogue::SongList& list = session.ListMain(tab);
    const bool isFolderJpg = parameters.BaseExt.trimmed().toLower() == u"folder.jpg"_s;
    ThumbnailCounts counts;
    QSet<QString> failedFolders;

    catalogue::CheckedRowSteps steps;
    steps.description = u"Create folder thumbnails"_s;
    steps.step = [&](const catalogue::CheckedRow& row) {
        RowReport report{row.index, u"unchanged"_s, {}, {}};
        const auto done = [&] {
            context.report(report);
            return catalogue::RowOutcome::Stays;
        };
        const QString location = catalogue::TrackLocation(row.track);
        if (location.isEmpty() || !catalogue::PathExists(location)) {
            report.detail = u"the song file is missing"_s;
            return done();
        }
        const QString folder = catalogue::FolderOfPath(location);
        const QString typed = ThumbnailTargetPath(location, parameters.BaseExt);
        // An existing file of the name in any case is the one overwritten; a
        // new file gets the name as typed.
        const QString found =
            catalogue::FindNamedFile(catalogue::ListFolderFiles(folder), parameters.BaseExt);
        const QString target = found.isEmpty() ? typed : folder + found;
        const bool existed = !found.isEmpty();
        report.path = target;
        if (existed && !parameters.DeleteExisting) {
            report.detail = u"the folder already has the file"_s;
            return done();
        }
        QByteArray image;
        try {
            SongArtwork artwork(row.track);
            const int chosen =
                chooseImage(artwork, parameters.ThumbnailMultipleImages, parameters.TargetPixels);
            if (chosen == 0) {
                report.detail = u"the song has no image"_s;
                return done();
            }
            image = artwork.data(chosen);
        } catch (const std::exception& error) {
            report.status = u"failed"_s;
            report.detail = describe(error);
            return done();
        }
        FolderImageWriteOptions options;
        options.existing = existed ? target : QString();
        if (parameters.HiddenSystem)
            options.attributes = support::AttributeHidden | support::AttributeSystem;
        const QString failure = WriteFolderImage(target, image, options);
        if (!failure.isEmpty()) {
            report.status = u"failed"_s;
            report.detail = failure;
            // One message per folder: its other songs fail the same way.
            if (!failedFolders.contains(folder)) {
                failedFolders.insert(folder);
                if (context.messages() &&
                    context.messages()->show(
                        catalogue::Paragraphs(
                            {failure,
                             u"Choose OK to continue, or Cancel to stop creating files."_s}),
                        QString(), support::MbOkCancel,
                        support::MbExclamation) == support::IdCancel)
                    session.CancelRequested = true;
            }
            return done();
        }
        ++counts.total;
        if (existed)
            --counts.unique;
        ++counts.unique;
        report.status = u"changed"_s;
        if (isFolderJpg) {
            catalogue::TrackRecord* record = session.Catalogue.Record(row.index);
            if (record && !(record->ArtTypes & catalogue::ArtKindFolderJpg)) {
                record->ArtTypes |= catalogue::ArtKindFolderJpg;
                list.model().setText(row.row, catalogue::ColumnDetail,
                                     catalogue::ArtTypeNames(record->ArtTypes));
            }
        }
        return done();
    };
    steps.closingText = [&] { return ThumbnailDoneText(parameters.BaseExt, counts); };
    catalogue::RunCheckedRows(session, context.environment, tab, steps);
    return counts;
}

} // namespace artwork
