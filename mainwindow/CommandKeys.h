#pragma once

// Keys of the toolbar buttons and of the wizards, as the toolbar, the Step
// menu and the Step 3 drop-down name them.

#include <QString>

namespace mainwindow::keys {

using namespace Qt::StringLiterals;

inline const QString Step1 = u"Step1"_s;
inline const QString Step2 = u"Step2"_s;
inline const QString Step3x = u"Step3x"_s;
inline const QString Step3 = u"Step3"_s;

inline const QString DeleteArtwork = u"DeleteArtwork"_s;
inline const QString CreatePlaylist = u"CreatePlaylist"_s;
inline const QString DownloadArtwork = u"DownloadArtwork"_s;
inline const QString GetAlbumArtwork = u"GetAlbumArtwork"_s;
inline const QString EmbedDownloadedArtwork = u"EmbedDownloadedArtwork"_s;
inline const QString EmbedArtwork = u"EmbedArtwork"_s;
inline const QString Step3Sep1 = u"Step3Sep1"_s;
inline const QString CreateFolderJpg = u"CreateFolderJpg"_s;
inline const QString ExtractArtwork = u"ExtractArtwork"_s;

} // namespace mainwindow::keys
