#include "app/cli/CliCommand.h"
#include "app/cli/RunCommand.h"

#include "artwork/ThumbnailRun.h"

namespace cli {

using namespace Qt::StringLiterals;

namespace {

int thumbnails(CliContext& context, const QStringList& arguments) {
    const OptionReader options(
        arguments, RowSelectionOptions + QStringList{u"--name"_s, u"--choice"_s, u"--pixels"_s},
        {u"--overwrite"_s, u"--no-hidden"_s});
    artwork::ThumbnailParameters parameters;
    parameters.BaseExt = options.value(u"--name"_s, u"Folder.JPG"_s).trimmed();
    if (!artwork::IsValidFileName(parameters.BaseExt))
        throw UsageError{u"The name \"%1\" cannot be a file name."_s.arg(parameters.BaseExt)};
    parameters.DeleteExisting = options.isSet(u"--overwrite"_s);
    parameters.HiddenSystem = !options.isSet(u"--no-hidden"_s);
    parameters.ThumbnailMultipleImages = options.number(u"--choice"_s, 1, 5, 5);
    parameters.TargetPixels = int16_t(options.number(u"--pixels"_s, 1, 256, 256));
    CliRun run(context, options);
    artwork::CreateFolderThumbnails(run.runContext(), parameters);
    return run.finish();
}

} // namespace

Command thumbnailsCommand() {
    return {u"thumbnails"_s,
            u"[--name NAME] [--overwrite] [--no-hidden] [--choice 1..5] [--pixels N] "
            u"[--filter MASK] [--tracks LIST]"_s,
            u"write one image of each checked song into its folder, as the folder thumbnail "
            u"wizard does"_s,
            0,
            64,
            thumbnails,
            {{u"--name"_s, u"NAME"_s, u"the file name to write; default Folder.JPG"_s},
             {u"--overwrite"_s, {}, u"replace a file of that name (into the Trash)"_s},
             {u"--no-hidden"_s, {}, u"do not mark the file hidden"_s},
             {u"--choice"_s, u"1..5"_s,
              u"the image of a song with several: 1 the first, 2 the last, 3 the smallest, "
              u"4 the largest, 5 the one closest to --pixels (default)"_s},
             {u"--pixels"_s, u"N"_s, u"the size a side to aim at, 1 to 256; default 256"_s},
             filterOption(),
             tracksOption()},
            u"one line per checked song as the run reaches it: catalogue index, "
            u"changed/unchanged/failed, file, detail; then the wizard's closing message"_s};
}

} // namespace cli
