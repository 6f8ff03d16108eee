#include "app/cli/CliCommand.h"
#include "app/cli/RunCommand.h"

#include "artwork/EmbedRuns.h"

namespace cli {

using namespace Qt::StringLiterals;

namespace {

int embed(CliContext& context, const QStringList& arguments) {
    const OptionReader options(arguments,
                               RowSelectionOptions +
                                   QStringList{u"--sources"_s, u"--target"_s, u"--existing"_s},
                               {u"--delete-downloaded"_s});
    artwork::EmbedParameters parameters;
    parameters.TargetPixels = options.number(u"--target"_s, 1, artwork::MaxImageSide, 320);
    parameters.ExistingEmbed = options.number(u"--existing"_s, 1, 3, artwork::ExistingKeep);
    parameters.DeleteDownloaded = options.isSet(u"--delete-downloaded"_s);
    QList<int> sources{1, 2, 3, 4, 5, 6, 7, 8};
    if (options.isSet(u"--sources"_s))
        sources = options.numbers(u"--sources"_s, 1, artwork::SourceCount);
    if (sources.size() > artwork::SourceCount)
        throw UsageError{u"--sources takes at most eight sources."_s};

    CliRun run(context, options);
    artwork::EmbeddingEngine engine(run.runContext().messages(), &run.session().CancelRequested);
    engine.sourceOrder().assign(sources);
    artwork::DoEmbed2(run.runContext(), engine, parameters);
    return run.finish();
}

int embedFolder(CliContext& context, const QStringList& arguments) {
    const OptionReader options(arguments, {u"--tracks"_s}, {});
    CliRun run(context, options);
    artwork::EmbeddingEngine engine(run.runContext().messages(), &run.session().CancelRequested);
    artwork::EmbedChecked(run.runContext(), engine);
    return run.finish();
}

} // namespace

Command embedCommand() {
    return {u"embed"_s,
            u"[--sources LIST] [--target N] [--existing 1|2|3] [--delete-downloaded] "
            u"[--filter MASK] [--tracks LIST]"_s,
            u"scan, check the Eligible songs (or those of --tracks) and embed artwork as the "
            u"Embed Artwork wizard does"_s,
            0,
            64,
            embed,
            {{u"--sources"_s, u"LIST"_s,
              u"where to take the image from, in order of preference, comma-separated: 1 the "
              u"image closest to the target size, 2 downloaded artwork, 3 Folder.jpg, "
              u"4 AlbumArtSmall.jpg, 5 and 6 the small and large AlbumArt_{...}.jpg, 7 the "
              u"smallest image, 8 the largest; default 1,2,3,4,5,6,7,8"_s},
             {u"--target"_s, u"N"_s, u"the target size in pixels a side; default 320"_s},
             {u"--existing"_s, u"1|2|3"_s,
              u"a song that has embedded artwork: 1 keep it (default), 2 replace it, 3 add the "
              u"image to it"_s},
             {u"--delete-downloaded"_s,
              {},
              u"delete a song's downloaded artwork once its image is embedded"_s},
             filterOption(),
             tracksOption()},
            u"one line per checked song as the run reaches it: catalogue index, "
            u"embedded/unchanged/failed, image, reason; then the wizard's closing message"_s};
}

Command embedFolderCommand() {
    return {u"embed-folder"_s,
            u"[--tracks LIST]"_s,
            u"embed each checked song's Folder.jpg, as Step 3x does"_s,
            0,
            64,
            embedFolder,
            {tracksOption()},
            u"one line per checked song as the run reaches it: catalogue index, "
            u"embedded/unchanged/failed, image, reason; then the closing message"_s};
}

} // namespace cli
