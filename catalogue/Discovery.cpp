#include "catalogue/Discovery.h"

#include "catalogue/PathOps.h"
#include "catalogue/TrackCatalogue.h"
#include "musiclibrary/tagio/FileKinds.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace catalogue {

namespace {

constexpr auto kCi = Qt::CaseInsensitive;

// "AlbumArt_{" + 36-character GUID + "}_" + "Large.jpg" or "Small.jpg".
constexpr qsizetype kWmpNameLength = 57;
constexpr qsizetype kWmpPrefixLength = 10;
constexpr qsizetype kGuidLength = 36;

const QString& wmpNameStart() {
    static const QString text = u"albumart_{"_s;
    return text;
}

} // namespace

bool ExtensionSupportsEmbedding(const QString& location) {
    const qsizetype dot = location.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    return musiclibrary::tagio::suffixTakesPictures(location.mid(dot + 1));
}

bool KindSupportsEmbedding(const QString& kind) {
    return musiclibrary::tagio::kindTakesPictures(kind);
}

bool FileKindSupportsEmbedding(const QString& location, const musiclibrary::TrackPtr& track) {
    // Without a file name extension the kind is not consulted either.
    if (!location.contains(u'.'))
        return false;
    if (ExtensionSupportsEmbedding(location))
        return true;
    if (!track)
        return false;
    try {
        return KindSupportsEmbedding(track->KindAsString());
    } catch (...) {
        // A kind that cannot be read is no kind.
        return false;
    }
}

bool FileKindSupportsEmbedding(const musiclibrary::TrackPtr& track) {
    return FileKindSupportsEmbedding(TrackLocation(track), track);
}

QString WmpGuidFromNames(const QStringList& names) {
    for (const QString& name : names) {
        if (!name.startsWith(wmpNameStart(), kCi) || !name.endsWith(u".jpg", kCi) ||
            name.size() < kWmpPrefixLength + 4)
            continue;
        // Only the first matching name is examined.
        const qsizetype closeAt = kWmpPrefixLength + kGuidLength;
        if (name.size() == kWmpNameLength && name.at(closeAt) == u'}' &&
            name.at(closeAt + 1) == u'_')
            return name.mid(kWmpPrefixLength, kGuidLength).toLower();
        return {};
    }
    return {};
}

void FindWmpGuid(TrackRecord& record, const FolderLister& lister) {
    if (record.Location.isEmpty() || !record.WmpGuidLcase.isEmpty())
        return;
    record.WmpGuidLcase = WmpGuidFromNames(lister(FolderOfPath(record.Location)));
}

ArtTypes FolderArtTypes(const QStringList& names, const QString& guid) {
    const QString wmpPrefix = guid.isEmpty() ? QString() : wmpNameStart() + guid + u"}_"_s;
    ArtTypes types = 0;
    for (const QString& name : names) {
        if (name.compare(u"folder.jpg", kCi) == 0) {
            types |= ArtKindFolderJpg;
        } else if (name.compare(u"albumartsmall.jpg", kCi) == 0) {
            types |= ArtKindAlbumArtSmall;
        } else if (!wmpPrefix.isEmpty() && name.startsWith(wmpPrefix, kCi)) {
            if (name.endsWith(u"}_small.jpg", kCi))
                types |= ArtKindWmpSmall;
            else if (name.endsWith(u"}_large.jpg", kCi))
                types |= ArtKindWmpLarge;
        } else if (name.endsWith(u".jpg", kCi)) {
            // Images of another album's GUID (or any, when no GUID is
            // known) are not this album's pictures.
            if (!name.startsWith(wmpNameStart(), kCi))
                types |= ArtKindOther;
        } else if (name.endsWith(u".png", kCi) || name.endsWith(u".bmp", kCi)) {
            types |= ArtKindOther;
        } else if (name.compare(u"backup.tmp", kCi) == 0) {
            types |= ArtKindBackup;
        }
    }
    return types;
}

ArtTypes LibraryArtTypes(const musiclibrary::TrackPtr& track) {
    if (!track)
        return 0;
    const musiclibrary::ArtworkCollectionPtr artwork = track->Artwork();
    if (!artwork)
        return 0;
    const int count = artwork->Count();
    ArtTypes types = 0;
    constexpr ArtTypes both = ArtKindDownloaded | ArtKindEmbedded;
    // Once both bits are known, more pictures cannot change the answer.
    for (int index = 1; index <= count && types != both; ++index) {
        bool downloaded = false;
        try {
            const musiclibrary::ArtworkPtr picture = artwork->Item(index);
            downloaded = picture && picture->IsDownloadedArtwork();
        } catch (...) {
            // A picture that cannot be asked is taken as embedded.
        }
        types |= downloaded ? ArtKindDownloaded : ArtKindEmbedded;
    }
    return types;
}

ArtTypes DiscoverArtTypes(const musiclibrary::TrackPtr& track, const QString& guid,
                          const FolderLister& lister) {
    const QString location = TrackLocation(track);
    if (location.isEmpty())
        return 0;
    const ArtTypes library = LibraryArtTypes(track);
    return library | FolderArtTypes(lister(FolderOfPath(location)), guid);
}

QStringList OtherImageNames(const QStringList& names) {
    QStringList others;
    for (const QString& name : names) {
        if (name.endsWith(u".mp3", kCi))
            continue;
        const bool picture = name.endsWith(u".jpg", kCi) || name.endsWith(u".bmp", kCi) ||
                             name.endsWith(u".png", kCi) || name.endsWith(u".jpeg", kCi);
        if (picture && name.compare(u"folder.jpg", kCi) != 0 &&
            !name.startsWith(wmpNameStart(), kCi) && !name.startsWith(u"quill - ", kCi))
            others.append(name);
    }
    return others;
}

void CollectOtherImages(TrackCatalogue& catalogue, int32_t index,
                        const musiclibrary::TrackPtr& track, const FolderLister& lister) {
    TrackRecord* record = catalogue.Record(index);
    if (!record)
        return;
    record->OtherImages.clear();
    const QString location = TrackLocation(track);
    if (!location.isEmpty())
        record->OtherImages = OtherImageNames(lister(FolderOfPath(location)));
}

bool FirstArtworkIsDownloaded(const musiclibrary::TrackPtr& track) {
    if (!track)
        return false;
    try {
        const musiclibrary::ArtworkCollectionPtr artwork = track->Artwork();
        const musiclibrary::ArtworkPtr first = artwork ? artwork->Item(1) : nullptr;
        return first && first->IsDownloadedArtwork();
    } catch (...) {
        return false;
    }
}

FolderFactsCache::FolderFactsCache(FolderLister lister) : m_lister(std::move(lister)) {}

FolderFactsCache::Facts& FolderFactsCache::facts(const QString& folder) {
    if (m_last && folder == m_lastFolder)
        return *m_last;
    auto found = m_facts.find(folder);
    if (found == m_facts.end()) {
        Facts fresh;
        fresh.names = m_lister(folder);
        ++m_listings;
        found = m_facts.insert(folder, std::move(fresh));
    }
    // Insertions may move the hash's values: the shortcut is renewed on
    // every miss and never outlives the next one.
    m_lastFolder = folder;
    m_last = &found.value();
    return *m_last;
}

QStringList FolderFactsCache::names(const QString& folder) {
    return facts(folder).names;
}

QString FolderFactsCache::wmpGuid(const QString& folder) {
    Facts& entry = facts(folder);
    if (!entry.guidKnown) {
        entry.guid = WmpGuidFromNames(entry.names);
        entry.guidKnown = true;
    }
    return entry.guid;
}

ArtTypes FolderFactsCache::folderArtTypes(const QString& folder, const QString& guid) {
    Facts& entry = facts(folder);
    if (!entry.typesKnown || entry.typesGuid != guid) {
        entry.types = FolderArtTypes(entry.names, guid);
        entry.typesGuid = guid;
        entry.typesKnown = true;
    }
    return entry.types;
}

QStringList FolderFactsCache::otherImages(const QString& folder) {
    Facts& entry = facts(folder);
    if (!entry.othersKnown) {
        entry.others = OtherImageNames(entry.names);
        entry.othersKnown = true;
    }
    return entry.others;
}

} // namespace catalogue
