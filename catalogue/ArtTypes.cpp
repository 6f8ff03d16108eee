#include "catalogue/ArtTypes.h"

#include <array>

using namespace Qt::StringLiterals;

namespace catalogue {

namespace {

constexpr std::array<ArtKind, 8> kKindsInBitOrder = {
    ArtKindDownloaded, ArtKindEmbedded, ArtKindFolderJpg, ArtKindAlbumArtSmall,
    ArtKindWmpSmall,   ArtKindWmpLarge, ArtKindOther,     ArtKindBackup};

// All 256 texts are made once: the scan asks for one per song.
std::array<QString, 256> makeArtTypeTexts() {
    static const std::array<QString, 8> words = {
        u"Downloaded "_s, u"Embedded "_s, u"Folder.JPG "_s, u"AlbumArtSmall "_s,
        u"WmpSmall "_s,   u"WmpLarge "_s, u"Other "_s,      u"Backup "_s};
    std::array<QString, 256> texts;
    texts[0] = u"- No artwork available -"_s;
    for (int types = 1; types < 256; ++types) {
        QString text;
        for (size_t bit = 0; bit < words.size(); ++bit) {
            if (types & kKindsInBitOrder[bit])
                text += words[bit];
        }
        texts[static_cast<size_t>(types)] = text;
    }
    return texts;
}

std::array<QString, 100> makeTwoDigitTexts() {
    std::array<QString, 100> texts;
    for (int n = 0; n < 100; ++n)
        texts[static_cast<size_t>(n)] = QString::number(n + 100).right(2);
    return texts;
}

} // namespace

void ArtKindList::Build() {
    m_kinds.assign(kKindsInBitOrder.begin(), kKindsInBitOrder.end());
    m_built = true;
}

void ArtKindList::Release() {
    m_kinds.clear();
    m_kinds.shrink_to_fit();
    m_built = false;
}

const QString& ArtTypeNames(ArtTypes types) {
    static const std::array<QString, 256> texts = makeArtTypeTexts();
    return texts[static_cast<size_t>(types & ArtKindsAll)];
}

QString ArtworkFormatName(int format) {
    switch (format) {
    case 1:
        return u"JPG"_s;
    case 2:
        return u"PNG"_s;
    case 3:
        return u"BMP"_s;
    default:
        return u"UnknownFormat"_s;
    }
}

QString SupportAddress() {
    return u"support@quillmoth.example"_s;
}

const QString& StatusText(int32_t status) {
    static const QString eligible = u"Eligible"_s;
    static const QString missing = u"The song file is missing"_s;
    static const QString noArtwork = u"No embeddable artwork available"_s;
    static const QString unsupported = u"File format does not support embedding images"_s;
    static const QString unknown = u"Unknown status -- please email "_s + SupportAddress();
    switch (status) {
    case StatusEligible:
        return eligible;
    case StatusNoLocation:
    case StatusFileMissing:
        return missing;
    case StatusNoArtwork:
        return noArtwork;
    case StatusFormatUnsupported:
        return unsupported;
    default:
        return unknown;
    }
}

QString TwoDigitTrackNumber(int trackNumber) {
    static const std::array<QString, 100> texts = makeTwoDigitTexts();
    const int sum = trackNumber + 100;
    if (sum >= 0)
        return texts[static_cast<size_t>(sum % 100)];
    // Track numbers below -100 do not occur in practice; keep the rule exact.
    return QString::number(sum).right(2);
}

} // namespace catalogue
