#include "app/cli/CliCommand.h"
#include "app/cli/RunCommand.h"

#include "artwork/DownloadRuns.h"

#include <QTextStream>

namespace cli {

using namespace Qt::StringLiterals;

namespace {

int downloadPlaylist(CliContext& context, const QStringList& arguments) {
    const OptionReader options(arguments, RowSelectionOptions, {});
    CliRun run(context, options);
    QString failure;
    if (artwork::AddCheckedToDownloadPlaylist(run.runContext(), &failure) < 0 && !failure.isEmpty())
        QTextStream(stderr) << failure << '\n';
    return run.finish();
}

int embedDownloaded(CliContext& context, const QStringList& arguments) {
    const OptionReader options(arguments, RowSelectionOptions, {});
    CliRun run(context, options);
    artwork::DoEmbedDownloaded2(run.runContext());
    return run.finish();
}

} // namespace

Command downloadPlaylistCommand() {
    return {u"download-playlist"_s,
            u"[--filter MASK] [--tracks LIST]"_s,
            u"put the checked songs into a new \"Quillmoth - download artwork\" playlist"_s,
            0,
            64,
            downloadPlaylist,
            {filterOption(), tracksOption()},
            u"one line per checked song: catalogue index, outcome, path, detail; then the "
            u"closing message"_s};
}

Command embedDownloadedCommand() {
    return {u"embed-downloaded"_s,
            u"[--filter MASK] [--tracks LIST]"_s,
            u"move each checked song's downloaded artwork into its file"_s,
            0,
            64,
            embedDownloaded,
            {filterOption(), tracksOption()},
            u"one line per checked song: catalogue index, outcome, path, detail; then the "
            u"closing message"_s};
}

} // namespace cli
