#pragma once

// The catalogue's shared vocabulary: artwork kinds, image format names and
// track status codes with the texts the lists show.

#include <QString>

#include <cstdint>
#include <vector>

namespace catalogue {

// Bit set of the artwork sources found for one track.
using ArtTypes = int32_t;

// One bit of ArtTypes.
enum ArtKind : int32_t {
    ArtKindDownloaded = 1,
    ArtKindEmbedded = 2,
    ArtKindFolderJpg = 4,
    ArtKindAlbumArtSmall = 8,
    ArtKindWmpSmall = 16,
    ArtKindWmpLarge = 32,
    ArtKindOther = 64,
    ArtKindBackup = 128,
};

inline constexpr ArtTypes ArtKindsAll = 255;
// The view filter shows every kind until the user narrows it.
inline constexpr ArtTypes ViewFilterDefault = ArtKindsAll;

// The eight kinds in bit order, built at start-up and released at shutdown;
// the details panel walks it to find the first kind a song has.
class ArtKindList {
public:
    void Build();
    void Release();
    bool IsBuilt() const { return m_built; }
    const std::vector<int32_t>& Kinds() const { return m_kinds; }

private:
    std::vector<int32_t> m_kinds;
    bool m_built = false;
};

// The display words of the set bits in bit order, each followed by one space;
// "- No artwork available -" for 0. Bits above 128 are ignored.
const QString& ArtTypeNames(ArtTypes types);

// Image format codes of IITArtwork::Format, as file extensions.
QString ArtworkFormatName(int format);

enum TrackStatus : int32_t {
    StatusEligible = 1,
    StatusNoLocation = 2,
    StatusFileMissing = 3,
    StatusNoArtwork = 4,
    StatusFormatUnsupported = 5,
};

// Where users are asked to report faults.
QString SupportAddress();

// The text of the Ineligible list's Reason column; an unknown code asks the
// user to write to the support address.
const QString& StatusText(int32_t status);

// The last two digits of trackNumber + 100: 7 gives "07", 0 "00", 112 "12".
QString TwoDigitTrackNumber(int trackNumber);

} // namespace catalogue
