#pragma once

// Where downloaded artwork comes from: one front cover per album, asked for
// only when the user runs Get Album Artwork. The engine never sees this; the
// run hands the image it is given to the engine's own operation, so another
// source (a local folder of covers, another database) can stand in later.

#include <QByteArray>
#include <QString>

namespace artworkdownload {

struct AlbumQuery {
    QString artist; // the album artist, else the artist
    QString album;
    // MusicBrainz ids from the songs' tags, when they carry them; they name
    // the album exactly, so they are used before any search.
    QString releaseId;
    QString releaseGroupId;
};

enum class CoverOutcome { Found, NotFound, Failed };

struct CoverAnswer {
    CoverOutcome outcome = CoverOutcome::Failed;
    // What the cover belongs to, e.g. "release/<id>" or "release-group/<id>";
    // empty when no release was settled on.
    QString releaseId;
    // Found: the image as the source sent it, not yet checked.
    QByteArray image;
    // NotFound and Failed: why, as a sentence.
    QString reason;
};

class CoverSource {
public:
    virtual ~CoverSource() = default;
    virtual CoverAnswer FrontCover(const AlbumQuery& album) = 0;
};

} // namespace artworkdownload
