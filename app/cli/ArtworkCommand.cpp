#include "app/cli/CliCommand.h"
#include "app/cli/CliContext.h"
#include "artwork/ImageMeasure.h"

#include <QFileInfo>
#include <QTemporaryDir>

namespace cli {

using namespace Qt::StringLiterals;

namespace {

int listArtwork(CliContext& context, const QStringList& arguments) {
    const musiclibrary::TrackPtr track = context.track(arguments[0]);
    const musiclibrary::ArtworkCollectionPtr artwork = track->Artwork();
    const int count = artwork->Count();
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw musiclibrary::LibraryError(musiclibrary::LibraryError::WriteFailed,
                                         u"Cannot create a temporary folder."_s);
    for (int position = 1; position <= count; ++position) {
        const musiclibrary::ArtworkPtr item = artwork->Item(position);
        // Measured the way the program measures artwork: written out to a
        // file first, its byte size and declared pixel size read from that.
        const QString file = scratch.filePath(u"artwork-%1"_s.arg(position));
        item->SaveArtworkToFile(file);
        const QSize size = artwork::ImageFileSize(file);
        context.print({QString::number(position), QString::number(item->Format()),
                       item->IsDownloadedArtwork() ? u"1"_s : u"0"_s,
                       QString::number(QFileInfo(file).size()), QString::number(size.width()),
                       QString::number(size.height())});
    }
    return 0;
}

} // namespace

Command artworkCommand() {
    return {u"artwork"_s,
            u"INDEX"_s,
            u"list the artwork of track INDEX"_s,
            1,
            1,
            listArtwork,
            {},
            u"one line per picture: position, format, downloaded (1) or embedded (0), bytes, "
            u"width, height (0 and 0 when the image cannot be decoded)"_s};
}

} // namespace cli
