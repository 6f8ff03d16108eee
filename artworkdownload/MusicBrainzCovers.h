#pragma once

// Front covers from the Cover Art Archive, for releases found in
// MusicBrainz: by the release ids in the songs' tags when they have them,
// otherwise by a search of release groups by artist and album title that
// takes only a confident match, so that a wrong cover is never attached.

#include "artworkdownload/CoverSource.h"
#include "artworkdownload/DownloadSettings.h"
#include "artworkdownload/LookupCache.h"
#include "artworkdownload/WebClient.h"

#include <QByteArray>
#include <QString>

namespace artworkdownload {

// MusicBrainz asks for no more than one request a second.
inline constexpr qint64 MusicBrainzIntervalMilliseconds = 1000;
// Larger than any cover the archive keeps (and than the songs take).
inline constexpr qint64 MaxCoverBytes = 64 * 1024 * 1024;
inline constexpr qint64 MaxSearchAnswerBytes = 4 * 1024 * 1024;
// A search hit below this score is never taken.
inline constexpr int ConfidentScore = 90;

// Whether text is a MusicBrainz id (a UUID in lower-case hex with dashes).
bool IsMusicBrainzId(const QString& text);
// Titles and names compared without regard to case, accents given as
// separate marks, punctuation or spacing: "The  Wall!" and "the wall".
QString NormalisedName(const QString& text);

// What a search answer settles on.
struct SearchChoice {
    enum Kind { Match, NoMatch, Ambiguous, Malformed } kind = NoMatch;
    QString releaseGroupId; // Match
    QString detail;         // Malformed: what was wrong
};
// Reads a release-group search answer (JSON) and picks the one confident
// match: a score of ConfidentScore or more, the same normalised title and
// artist credit, and no other such candidate with the same score.
SearchChoice ChooseReleaseGroup(const QByteArray& answer, const QString& artist,
                                const QString& album);

class MusicBrainzCovers : public CoverSource {
public:
    // cache may be null (nothing kept between runs).
    MusicBrainzCovers(DownloadSettings settings, PacingClock& clock, LookupCache* cache,
                      WebOptions options = {});

    CoverAnswer FrontCover(const AlbumQuery& album) override;

    int requestsSent() const { return m_web.requestsSent(); }

private:
    CoverAnswer coverOf(const QString& release);
    CoverAnswer search(const AlbumQuery& album);
    QString problemWithAddresses() const;

    DownloadSettings m_settings;
    LookupCache* m_cache;
    WebClient m_web;
    Pacer m_musicBrainzPacer;
};

} // namespace artworkdownload
