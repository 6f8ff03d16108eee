#include "app/cli/CliCommand.h"
#include "app/cli/CliContext.h"

namespace cli {

using namespace Qt::StringLiterals;

namespace {

int setDownloaded(CliContext& context, const QStringList& arguments) {
    const musiclibrary::TrackPtr track = context.track(arguments[0]);
    track->SetDownloadedArtworkFromFile(arguments[1]);
    context.print(
        {u"downloaded"_s, arguments[0], QString::number(track->Artwork()->Item(1)->Format())});
    return 0;
}

} // namespace

Command setDownloadedCommand() {
    return {u"set-downloaded"_s,
            u"INDEX IMAGE"_s,
            u"attach the image file as the downloaded artwork of track INDEX"_s,
            2,
            2,
            setDownloaded,
            {},
            u"\"downloaded\", the track index, the artwork count now"_s};
}

} // namespace cli
