#include "artwork/DeleteRun.h"

#include "catalogue/CatalogueSession.h"
#include "catalogue/Discovery.h"
#include "catalogue/PathOps.h"

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

QString describe(const std::exception& error) {
    if (const auto* libraryError = dynamic_cast<const musiclibrary::LibraryError*>(&error))
        return libraryError->description();
    return QString::fromLocal8Bit(error.what());
}

QString positionsText(const QList<int>& positions) {
    QStringList texts;
    for (int position : positions)
        texts.append(QString::number(position));
    return texts.join(u',');
}

} // namespace

QString DeleteDoneText(const DeleteCounts& counts) {
    return catalogue::Paragraphs(
        {u"Done deleting artwork."_s,
         u"Number of song files which had artwork removed: "_s + QString::number(counts.files) +
             u"\nNumber of artwork images removed: "_s + QString::number(counts.images)});
}

QString DeleteErrorMessage(const QString& songName, const QString& description) {
    return catalogue::Paragraphs(
        {u"The following error occurred while trying to delete artwork from '"_s + songName +
             u"':"_s,
         description, u"Choose OK to continue, or Cancel to stop deleting artwork."_s});
}

DeleteCounts DoDelete2(ArtworkRunContext& context, const DeleteParameters& parameters) {
    catalogue::CatalogueSession& session = context.session;
    const int tab = context.currentTab();
    catalogue::SongList& list = session.ListMain(tab);
    DeleteCounts counts;
    catalogue::CheckedRowSteps steps;
    steps.description = u"Delete artwork"_s;
    steps.step = [&](const catalogue::CheckedRow& row) {
        RowReport report{row.index, u"unchanged"_s, {}, {}};
        const QString location = catalogue::TrackLocation(row.track);
        if (location.isEmpty() || !catalogue::PathExists(location)) {
            report.detail = u"the song file is missing"_s;
            context.report(report);
            return catalogue::RowOutcome::Stays;
        }
        try {
            SongArtwork artwork(row.track);
            const QList<int> chosen = ChooseArtworkToDelete(artwork, parameters);
            if (chosen.isEmpty()) {
                report.detail = u"no image to delete"_s;
            } else {
                row.track->EditArtwork({chosen, {}});
                ++counts.files;
                counts.images += int(chosen.size());
                report.status = u"changed"_s;
                report.detail = u"removed "_s + positionsText(chosen);
            }
        } catch (const std::exception& error) {
            report.status = u"failed"_s;
            report.detail = describe(error);
            QString name;
            try {
                name = row.track->Name();
            } catch (...) {
            }
            if (context.messages() &&
                context.messages()->show(DeleteErrorMessage(name, report.detail), QString(),
                                         support::MbOkCancel,
                                         support::MbExclamation) == support::IdCancel)
                session.CancelRequested = true;
        }
        if (report.status == u"changed"_s) {
            if (catalogue::TrackRecord* record = session.Catalogue.Record(row.index)) {
                try {
                    record->ArtTypes = catalogue::DiscoverArtTypes(row.track, record->WmpGuidLcase);
                } catch (...) {
                }
                list.model().setText(row.row, catalogue::ColumnDetail,
                                     catalogue::ArtTypeNames(record->ArtTypes));
            }
        }
        context.report(report);
        return catalogue::RowOutcome::Stays;
    };
    steps.closingText = [&] { return DeleteDoneText(counts); };
    catalogue::RunCheckedRows(session, context.environment, tab, steps);
    return counts;
}

} // namespace artwork
