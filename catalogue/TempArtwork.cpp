#include "catalogue/TempArtwork.h"

#include "catalogue/ArtTypes.h"
#include "support/AppData.h"

using namespace Qt::StringLiterals;

namespace catalogue {

QString TempArtworkPath(const QString& appDataFolder, const QString& prefix, int format) {
    return appDataFolder + prefix + u'.' + ArtworkFormatName(format);
}

QString SaveDownloadedArtworkToTemp(const musiclibrary::TrackPtr& track,
                                    const QString& appDataFolder) {
    if (!track)
        return {};
    const musiclibrary::ArtworkCollectionPtr artwork = track->Artwork();
    if (!artwork || artwork->Count() != 1)
        return {};
    const musiclibrary::ArtworkPtr picture = artwork->Item(1);
    if (!picture || !picture->IsDownloadedArtwork())
        return {};
    const QString path = TempArtworkPath(appDataFolder, u"Temp-Downloaded"_s, picture->Format());
    picture->SaveArtworkToFile(path);
    return path;
}

QString SaveEmbeddedArtworkToTemp(const musiclibrary::TrackPtr& track, int n,
                                  const QString& appDataFolder) {
    if (!track || n < 1)
        return {};
    const musiclibrary::ArtworkCollectionPtr artwork = track->Artwork();
    if (!artwork || artwork->Count() < n)
        return {};
    const musiclibrary::ArtworkPtr picture = artwork->Item(n);
    if (!picture)
        return {};
    const QString path = TempArtworkPath(appDataFolder, u"Temp-Embedded"_s, picture->Format());
    try {
        picture->SaveArtworkToFile(path);
    } catch (const musiclibrary::LibraryError&) {
        return {};
    }
    return path;
}

QString SaveArtworkToTemp(const musiclibrary::ArtworkPtr& artwork, const QString& appDataFolder) {
    if (!artwork)
        return {};
    const QString path = TempArtworkPath(appDataFolder, u"Temp-Embedded"_s, artwork->Format());
    artwork->SaveArtworkToFile(path);
    return path;
}

QString SaveDownloadedArtworkToTemp(const musiclibrary::TrackPtr& track) {
    return SaveDownloadedArtworkToTemp(track, support::AppDataFolder());
}

QString SaveEmbeddedArtworkToTemp(const musiclibrary::TrackPtr& track, int n) {
    return SaveEmbeddedArtworkToTemp(track, n, support::AppDataFolder());
}

QString SaveArtworkToTemp(const musiclibrary::ArtworkPtr& artwork) {
    return SaveArtworkToTemp(artwork, support::AppDataFolder());
}

} // namespace catalogue
