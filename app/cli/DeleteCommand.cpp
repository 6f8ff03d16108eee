#include "app/cli/CliCommand.h"
#include "app/cli/RunCommand.h"

#include "artwork/DeleteRun.h"
#include "artwork/TargetSizes.h"

namespace cli {

using namespace Qt::StringLiterals;

namespace {

int deleteArtwork(CliContext& context, const QStringList& arguments) {
    const OptionReader options(
        arguments, RowSelectionOptions + QStringList{u"--single"_s, u"--multiple"_s, u"--target"_s},
        {u"--downloaded"_s, u"--no-embedded"_s});
    artwork::DeleteParameters parameters;
    parameters.DeleteDownloaded = options.isSet(u"--downloaded"_s);
    parameters.DeleteEmbedded = !options.isSet(u"--no-embedded"_s);
    parameters.SingleDelete = options.number(u"--single"_s, 1, 4, 1);
    parameters.MultipleDelete = options.number(u"--multiple"_s, 1, 13, 12);
    // The wizard's rule: a target counts only for the choices that use one.
    const bool targetUsed = parameters.DeleteEmbedded &&
                            (parameters.SingleDelete == 2 || parameters.SingleDelete == 3 ||
                             (parameters.MultipleDelete >= 10 && parameters.MultipleDelete <= 12));
    if (targetUsed) {
        const QString target = options.value(u"--target"_s, u"320 x 320"_s);
        // Either a whole entry of the wizard or just its size.
        parameters.TargetXYProd =
            artwork::TargetAreaOfEntry(target.contains(u"--"_s) ? target : u"-- "_s + target);
        if (parameters.TargetXYProd <= 0)
            throw UsageError{u"Use --target with a size such as \"320 x 320\"."_s};
    }
    CliRun run(context, options);
    artwork::DoDelete2(run.runContext(), parameters);
    return run.finish();
}

} // namespace

Command deleteCommand() {
    return {u"delete"_s,
            u"[--downloaded] [--no-embedded] [--single 1..4] [--multiple 1..13] "
            u"[--target TEXT] [--filter MASK] [--tracks LIST]"_s,
            u"scan, check the Eligible songs (or those of --tracks) and delete artwork as the "
            u"Delete Artwork wizard does"_s,
            0,
            64,
            deleteArtwork,
            {{u"--downloaded"_s, {}, u"delete the downloaded artwork too"_s},
             {u"--no-embedded"_s, {}, u"leave the embedded pictures as they are"_s},
             {u"--single"_s, u"1..4"_s,
              u"a song with one picture: 1 keep it (default), 2 delete it when smaller than the "
              u"target, 3 when larger, 4 always"_s},
             {u"--multiple"_s, u"1..13"_s,
              u"a song with several: 1 delete none, 2 the first, 3 all but the first, 4 the "
              u"last, 5 all but the last, 6 the smallest, 7 all but the smallest, 8 the "
              u"largest, 9 all but the largest, 10 those smaller than the target, 11 those "
              u"larger, 12 all but the one closest to the target (default), 13 all"_s},
             {u"--target"_s, u"TEXT"_s,
              u"the target size, such as \"320 x 320\" (the default), for the choices that "
              u"use one"_s},
             filterOption(),
             tracksOption()},
            u"one line per checked song as the run reaches it: catalogue index, "
            u"changed/unchanged/failed, detail; then the wizard's closing message"_s};
}

} // namespace cli
