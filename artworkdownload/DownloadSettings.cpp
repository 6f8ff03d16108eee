#include "artworkdownload/DownloadSettings.h"

#include "support/Registry.h"
#include "support/RegistryKeys.h"

using namespace Qt::StringLiterals;

namespace artworkdownload {

const QStringList& CoverSizes() {
    static const QStringList sizes = {u"250"_s, u"500"_s, u"1200"_s, u"original"_s};
    return sizes;
}

QString NormalCoverSize(const QString& text) {
    const QString size = text.trimmed().toLower();
    return CoverSizes().contains(size) ? size : QString();
}

DownloadSettings ReadDownloadSettings() {
    using namespace support;
    DownloadSettings settings;
    const auto text = [](const QString& value, const QString& fallback) {
        const QString stored = RegGetString(Hive::CurrentUser, KEY_DOWNLOAD, value, 4096).trimmed();
        return stored.isEmpty() ? fallback : stored;
    };
    settings.musicBrainzAddress = text(VALUE_MUSICBRAINZ_ADDRESS, DefaultMusicBrainzAddress);
    settings.coverArtArchiveAddress =
        text(VALUE_COVER_ART_ARCHIVE_ADDRESS, DefaultCoverArtArchiveAddress);
    const QString size = NormalCoverSize(text(VALUE_DOWNLOAD_SIZE, DefaultCoverSize));
    settings.size = size.isEmpty() ? DefaultCoverSize : size;
    return settings;
}

void SaveCoverSize(const QString& size) {
    const QString normal = NormalCoverSize(size);
    if (!normal.isEmpty())
        support::RegSetString(support::Hive::CurrentUser, support::KEY_DOWNLOAD,
                              support::VALUE_DOWNLOAD_SIZE, normal);
}

} // namespace artworkdownload
