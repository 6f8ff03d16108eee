#pragma once

// The settings of Get Album Artwork: where the two services are, and the
// size of cover asked for. Tests point the addresses at a server of their
// own on this machine.

#include <QString>
#include <QStringList>

namespace artworkdownload {

inline const QString DefaultMusicBrainzAddress = QStringLiteral("https://musicbrainz.org");
inline const QString DefaultCoverArtArchiveAddress = QStringLiteral("https://coverartarchive.org");
inline const QString DefaultCoverSize = QStringLiteral("500");

// "250", "500", "1200" and "original", in the order the wizard offers them.
const QStringList& CoverSizes();
// The size text trimmed and in lower case when it is one of CoverSizes(),
// else empty.
QString NormalCoverSize(const QString& text);

struct DownloadSettings {
    QString musicBrainzAddress = DefaultMusicBrainzAddress;
    QString coverArtArchiveAddress = DefaultCoverArtArchiveAddress;
    QString size = DefaultCoverSize;
};

// The stored settings; an empty or unknown value reads as its default.
DownloadSettings ReadDownloadSettings();
void SaveCoverSize(const QString& size);

} // namespace artworkdownload
