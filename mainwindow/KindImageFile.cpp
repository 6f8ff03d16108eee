#include "mainwindow/KindImageFile.h"

#include "catalogue/FolderListing.h"
#include "catalogue/PathOps.h"

using namespace Qt::StringLiterals;

namespace mainwindow {

QString NamedKindFile(const catalogue::TrackRecord& record, int kind) {
    switch (kind) {
    case catalogue::ArtKindFolderJpg:
        return u"Folder.JPG"_s;
    case catalogue::ArtKindAlbumArtSmall:
        return u"AlbumArtSmall.JPG"_s;
    case catalogue::ArtKindWmpSmall:
        return u"AlbumArt_{"_s + record.WmpGuidLcase.toUpper() + u"}_Small.JPG"_s;
    case catalogue::ArtKindWmpLarge:
        return u"AlbumArt_{"_s + record.WmpGuidLcase.toUpper() + u"}_Large.JPG"_s;
    case catalogue::ArtKindBackup:
        return u"backup.tmp"_s;
    default:
        return {};
    }
}

QString FolderKindFile(const catalogue::TrackRecord& record, int kind, int otherPosition) {
    if (record.Location.isEmpty())
        return {};
    const QString folder = catalogue::FolderOfPath(record.Location);
    if (kind == catalogue::ArtKindOther) {
        if (otherPosition < 1 || otherPosition > record.OtherImages.size())
            return {};
        return folder + record.OtherImages.at(otherPosition - 1);
    }
    const QString name = NamedKindFile(record, kind);
    return name.isEmpty() ? QString() : catalogue::ResolveNamedFile(folder, name);
}

} // namespace mainwindow
