#include "app/cli/CliCommand.h"
#include "app/cli/RunCommand.h"

#include "artwork/DownloadRuns.h"
#include "artwork/GetArtworkRun.h"
#include "artworkdownload/MusicBrainzCovers.h"
#include "support/AppData.h"

#include <QTextStream>

#include <limits>

namespace cli {

using namespace Qt::StringLiterals;

namespace {

QString dataFolderOf(const CliContext& context) {
    const QString folder = context.options().dataFolder;
    if (folder.isEmpty())
        return support::AppDataFolder();
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

int getArtwork(CliContext& context, const QStringList& arguments) {
    const OptionReader options(arguments, {u"--playlist"_s, u"--tracks"_s, u"--size"_s}, {});
    if (options.isSet(u"--playlist"_s) && options.isSet(u"--tracks"_s))
        throw UsageError{u"Use --playlist or --tracks, not both."_s};
    artworkdownload::DownloadSettings settings = artworkdownload::ReadDownloadSettings();
    if (options.isSet(u"--size"_s)) {
        settings.size = artworkdownload::NormalCoverSize(options.value(u"--size"_s));
        if (settings.size.isEmpty())
            throw UsageError{u"Use --size with 250, 500, 1200 or original."_s};
    }
    std::optional<QList<int>> tracks;
    if (options.isSet(u"--tracks"_s))
        tracks = options.numbers(u"--tracks"_s, 1, std::numeric_limits<int>::max());

    musiclibrary::IiTunes& library = context.library();
    QString failure;
    const QList<artwork::SongToFetch> songs =
        tracks ? artwork::LibrarySongs(library, *tracks, failure)
               : artwork::PlaylistSongs(
                     library, options.value(u"--playlist"_s, artwork::DownloadPlaylistName()),
                     failure);
    if (!failure.isEmpty()) {
        QTextStream(stderr) << failure << '\n';
        return 1;
    }

    const QString dataFolder = dataFolderOf(context);
    artworkdownload::EventLoopClock clock;
    artworkdownload::LookupCache cache(artworkdownload::CacheFileIn(dataFolder), clock);
    artworkdownload::MusicBrainzCovers source(settings, clock, &cache);
    StderrProgress progress;
    catalogue::RunEnvironment run{progress, {}};
    bool cancelRequested = false;
    artwork::GetArtworkEnvironment environment{run, cancelRequested, dataFolder};
    const artwork::GetArtworkCounts counts = artwork::GetAlbumArtwork(
        songs, source, environment, [&context](const artwork::AlbumReport& album) {
            QStringList indexes;
            for (int32_t index : album.indexes)
                indexes.append(QString::number(index));
            context.print({indexes.join(u','), album.status, album.releaseId, album.detail});
            context.flush();
        });
    context.printText(artwork::GetArtworkDoneText(counts));
    return 0;
}

} // namespace

Command getArtworkCommand() {
    return {u"get-artwork"_s,
            u"[--playlist NAME] [--tracks LIST] [--size 250|500|1200|original]"_s,
            u"fetch album covers (MusicBrainz, Cover Art Archive) as downloaded artwork of the "
            u"download playlist's songs that have none; one line per album"_s,
            0,
            6,
            getArtwork};
}

} // namespace cli
