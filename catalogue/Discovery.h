#pragma once

// Which sources of cover art exist for a track: pictures the library holds
// (embedded or downloaded) and image files in the song's folder. File names
// are compared with the known names and endings without regard to case.

#include "catalogue/ArtTypes.h"
#include "catalogue/FolderListing.h"
#include "musiclibrary/ITunes.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace catalogue {

struct TrackRecord;
class TrackCatalogue;

// The two halves of the rule below: the file name's extension, the kind text.
bool ExtensionSupportsEmbedding(const QString& location);
bool KindSupportsEmbedding(const QString& kind);
// Whether the track's file at location (its TrackLocation, already read)
// can hold embedded images: by its extension (.mp3 .aac .m4a .m4p .aiff) or
// by the track's kind text, which is read only when the extension does not
// decide. Without a "." in location the answer is false; a kind that cannot
// be read counts as empty.
bool FileKindSupportsEmbedding(const QString& location, const musiclibrary::TrackPtr& track);
// The same, reading the track's location.
bool FileKindSupportsEmbedding(const musiclibrary::TrackPtr& track);

// The lower-case GUID of the first "AlbumArt_{*.jpg" name (in the listing's
// order) when that name is exactly "AlbumArt_{" GUID "}_xxxxx.jpg" long
// (57 characters) with "}_" after the GUID; otherwise empty.
QString WmpGuidFromNames(const QStringList& names);
// Fills record.WmpGuidLcase from the folder of its Location, when the
// location is known and the GUID is still empty.
void FindWmpGuid(TrackRecord& record, const FolderLister& lister = ListFolderFiles);

// The folder's share of the artwork kinds: Folder.JPG, AlbumArtSmall, the
// Windows Media Player images of guid, Other and Backup.
ArtTypes FolderArtTypes(const QStringList& names, const QString& guid);
// Downloaded and Embedded from the track's artwork collection. Throws when
// the collection or its count cannot be read; a picture whose kind cannot be
// asked counts as embedded.
ArtTypes LibraryArtTypes(const musiclibrary::TrackPtr& track);
// All kinds of a track; 0 for no track or no location. Throws as LibraryArtTypes.
ArtTypes DiscoverArtTypes(const musiclibrary::TrackPtr& track, const QString& guid,
                          const FolderLister& lister = ListFolderFiles);

// The other pictures worth showing: .jpg .jpeg .png .bmp except folder.jpg,
// "albumart_{..." and "quill - ..." names, in listing order.
QStringList OtherImageNames(const QStringList& names);
// Fills record index's OtherImages from the folder of the track's location.
void CollectOtherImages(TrackCatalogue& catalogue, int32_t index,
                        const musiclibrary::TrackPtr& track,
                        const FolderLister& lister = ListFolderFiles);

// Whether artwork 1 of the track is downloaded art; false on any failure.
bool FirstArtworkIsDownloaded(const musiclibrary::TrackPtr& track);

// What one scan learns about a folder, so that each folder is listed once
// per scan however many of its songs the library holds. Results are exactly
// those of the one-track operations above. Valid for one scan only: files
// may change between scans.
class FolderFactsCache {
public:
    explicit FolderFactsCache(FolderLister lister = ListFolderFiles);

    QStringList names(const QString& folder);
    QString wmpGuid(const QString& folder);
    ArtTypes folderArtTypes(const QString& folder, const QString& guid);
    QStringList otherImages(const QString& folder);

    // How many folders were listed.
    int listings() const { return m_listings; }

private:
    struct Facts {
        QStringList names;
        QString guid;
        bool guidKnown = false;
        QString typesGuid;
        ArtTypes types = 0;
        bool typesKnown = false;
        QStringList others;
        bool othersKnown = false;
    };
    Facts& facts(const QString& folder);

    FolderLister m_lister;
    QHash<QString, Facts> m_facts;
    QString m_lastFolder;
    Facts* m_last = nullptr;
    int m_listings = 0;
};

} // namespace catalogue
