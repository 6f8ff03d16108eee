#include "artwork/EmbedRuns.h"

#include "catalogue/CatalogueSession.h"
#include "catalogue/Discovery.h"
#include "mainwindow/Selection.h"

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

using catalogue::CheckedRow;
using catalogue::RowOutcome;

RowReport reportOf(int32_t index, const EmbedReport& report) {
    return {index, EmbedStatusWord(report.status), report.imagePath, report.detail};
}

bool nothingChecked(ArtworkRunContext& context, const catalogue::SongList& list) {
    return catalogue::ReportNothingChecked(list, context.messages(), EmbedNothingCheckedText(true),
                                           EmbedNothingCheckedText(false));
}

// After an embedding the record learns what the song has now; a song
// whose artwork cannot be read any more keeps what it had.
void rediscover(catalogue::TrackRecord& record, const musiclibrary::TrackPtr& track) {
    try {
        record.ArtTypes = catalogue::DiscoverArtTypes(track, record.WmpGuidLcase);
    } catch (...) {
        record.ArtTypes |= catalogue::ArtKindEmbedded;
    }
}

} // namespace

QString EmbedNothingCheckedText(bool listHasRows) {
    return listHasRows ? u"You have not chosen any eligible songs to have their cover art "
                         u"embedded.  Please place a checkmark on at least one eligible song."_s
                       : u"There are no songs eligible to have cover art embedded."_s;
}

QString EmbedDoneText(int embedded) {
    return catalogue::Paragraphs(
        {u"Done embedding artwork."_s,
         u"Number of song files processed: "_s + QString::number(embedded)});
}

QString EmbedCheckedWarningText() {
    return u"EmbedChecked() should not have been called."_s;
}

int DoEmbed2(ArtworkRunContext& context, EmbeddingEngine& engine,
             const EmbedParameters& parameters) {
    catalogue::CatalogueSession& session = context.session;
    const int tab = context.currentTab();
    catalogue::SongList& list = session.ListMain(tab);
    if (nothingChecked(context, list))
        return -1;
    engine.beginRun();
    int embedded = 0;
    catalogue::CheckedRowSteps steps;
    steps.description = u"Embed artwork"_s;
    steps.step = [&](const CheckedRow& row) {
        catalogue::TrackRecord* record = session.Catalogue.Record(row.index);
        const QString guid = record ? record->WmpGuidLcase : QString();
        EmbedReport report;
        const bool ok = engine.EmbedTrack2(row.track, guid, parameters, &report);
        if (ok && record) {
            rediscover(*record, row.track);
            list.model().setText(row.row, catalogue::ColumnDetail,
                                 catalogue::ArtTypeNames(record->ArtTypes));
        }
        if (ok)
            ++embedded;
        list.model().setChecked(row.row, false);
        context.report(reportOf(row.index, report));
        return RowOutcome::Stays;
    };
    steps.closingText = [&] { return EmbedDoneText(embedded); };
    catalogue::RunCheckedRows(session, context.environment, tab, steps);
    return embedded;
}

int EmbedChecked(ArtworkRunContext& context, EmbeddingEngine& engine) {
    if (context.messages())
        context.messages()->show(EmbedCheckedWarningText(), QString(), support::MbOk,
                                 support::MbCritical);
    catalogue::CatalogueSession& session = context.session;
    const int tab = catalogue::TAB_ELIGIBLE;
    if (nothingChecked(context, session.ListMain(tab)))
        return -1;
    engine.beginRun();
    int embedded = 0;
    catalogue::CheckedRowSteps steps;
    steps.description = u"Embed artwork"_s;
    steps.step = [&](const CheckedRow& row) {
        EmbedReport report;
        const bool ok = engine.EmbedTrack(row.track, &report);
        context.report(reportOf(row.index, report));
        if (!ok)
            return RowOutcome::Stays;
        ++embedded;
        if (catalogue::TrackRecord* record = session.Catalogue.Record(row.index))
            rediscover(*record, row.track);
        mainwindow::privMoveListItemBetweenTabs(session, row.row, tab, catalogue::TAB_EMBEDDED,
                                                true);
        return RowOutcome::Removed;
    };
    steps.closingText = [&] { return EmbedDoneText(embedded); };
    catalogue::RunCheckedRows(session, context.environment, tab, steps);
    return embedded;
}

} // namespace artwork
