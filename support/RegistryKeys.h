#pragma once

// Every settings key and value name the program uses, in one place. The
// names are those the settings have always had, so they must not change.

#include <QString>

namespace support {

inline const QString KEY_QUILLMOTH = QStringLiteral("Software\\Tarnwick\\Quillmoth");
inline const QString VALUE_TARGET_SIZE = QStringLiteral("TargetSize");
// The library opened last; a path, so it may be longer than the usual limit.
inline const QString VALUE_LAST_LIBRARY = QStringLiteral("LastLibrary");

inline const QString KEY_WISER_UPDATE =
    QStringLiteral("Software\\Tarnwick\\Quillmoth\\WiserUpdate");
inline const QString VALUE_UPDATE_ENABLED = QStringLiteral("Enabled");
inline const QString VALUE_UPDATE_CHECK_DAYS = QStringLiteral("CheckDays");
inline const QString VALUE_LAST_UPDATE_RUN = QStringLiteral("LastWiserUpdateRunDateTime");
inline const QString VALUE_LAST_UPDATER_CHECK_DAYS = QStringLiteral("LastWiseUpdateCheckDays");

// How much removed artwork is kept for restoring; set by hand.
inline const QString KEY_REMOVED_ARTWORK =
    QStringLiteral("Software\\Tarnwick\\Quillmoth\\RemovedArtwork");
inline const QString VALUE_REMOVED_KEEP_DAYS = QStringLiteral("KeepDays");
inline const QString VALUE_REMOVED_MAX_MEGABYTES = QStringLiteral("MaxMegabytes");

// Get Album Artwork: the two web services and the size of cover fetched.
inline const QString KEY_DOWNLOAD = QStringLiteral("Software\\Tarnwick\\Quillmoth\\Download");
inline const QString VALUE_MUSICBRAINZ_ADDRESS = QStringLiteral("MusicBrainzAddress");
inline const QString VALUE_COVER_ART_ARCHIVE_ADDRESS = QStringLiteral("CoverArtArchiveAddress");
inline const QString VALUE_DOWNLOAD_SIZE = QStringLiteral("Size");

// The updater's own key, in the machine store, read only.
inline const QString KEY_UPDATER_APP =
    QStringLiteral("Software\\Wise Solutions\\WiseUpdate\\Apps\\Tarnwick Quillmoth");
inline const QString VALUE_UPDATER_CHECK_DAYS = QStringLiteral("CheckDays");

// Where the don't-show-again message boxes keep their per-message state.
inline const QString KEY_DONT_SHOW_AGAIN = QStringLiteral(
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DontShowMeThisDialogAgain");
inline const QString MSG_KEY_STEP3 = QStringLiteral("Zorvo-Step3");
inline const QString MSG_KEY_RUN_UPDATER = QStringLiteral("Zorvo-RunWiseUpdt");

} // namespace support
