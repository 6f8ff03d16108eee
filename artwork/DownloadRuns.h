#pragma once

// Downloaded artwork: the playlist of songs for the library to fetch art
// for, the instructions for fetching it, and the run that moves each
// checked song's downloaded art into the song file.

#include "artwork/ArtworkRun.h"
#include "musiclibrary/ITunes.h"

#include <QString>

namespace artwork {

// "Quillmoth - download artwork".
QString DownloadPlaylistName();

// A new user playlist of that name, after deleting any old one (failures
// there do not matter); none when the name is empty or the playlist cannot
// be made, with why in *failure when given.
musiclibrary::UserPlaylistPtr RecreateUserPlaylist(musiclibrary::IiTunes& library,
                                                   const QString& name, QString* failure = nullptr);

QString PlaylistNothingCheckedText(bool listHasRows);
QString PlaylistDoneText(int added);
QString DownloadInstructionsText();
QString EmbedDownloadedNothingCheckedText(bool listHasRows);
QString EmbedDownloadedDoneText(int embedded);

// Puts every checked song of the current tab into a fresh download
// playlist. Returns the number added (-1 when nothing was checked or the
// playlist could not be made); failure receives why it could not be made.
int AddCheckedToDownloadPlaylist(ArtworkRunContext& context, QString* failure = nullptr);

// Whether the song's file can be written, clearing its read-only mark
// when it has one: false for a song without a file, an unreadable location
// or a folder, and when the mark cannot be cleared.
bool MakeSongWritable(const musiclibrary::TrackPtr& track);

// Moves the one downloaded image of the song into its file, in one write:
// the downloaded art goes only once the file holds it. False for a song
// without exactly one (downloaded) image, one whose file cannot be made
// writable, or a failed write (the embedding error message is shown; Cancel
// stops the run). report, when given, says what happened.
struct EmbedReport;
bool EmbedDownloadedTrack2(const musiclibrary::TrackPtr& track, support::MessageBoxes* messages,
                           bool* cancelRequested, EmbedReport* report = nullptr);

// Over the checked rows of the current tab; a song without downloaded art
// stays checked and is not counted. Returns the number embedded (-1 when
// nothing was checked).
int DoEmbedDownloaded2(ArtworkRunContext& context);

} // namespace artwork
