#pragma once

// Small path and file operations shared by the scan and the artwork runs.
// Folder texts end in "/". None of these fails: bad input gives empty texts
// or false.

#include "musiclibrary/ITunes.h"

#include <QString>

namespace catalogue {

// The track's "Location", trimmed; empty for no track or when it cannot be read.
QString TrackLocation(const musiclibrary::TrackPtr& track);

// Empty for empty; the path itself when it ends in "/"; otherwise the text
// up to and including the last "/"; a path without "/" gets one appended.
QString FolderOfPath(const QString& path);

// The trimmed path with a "/" appended unless it ends in one; empty stays empty.
QString AddBackslash(const QString& path);

// Creates every folder along the path (failures ignored) and answers
// whether the whole path exists afterwards.
bool MakeFolderPath(const QString& path);

// The path with one space after its last "/" so that a label can wrap there.
QString PathForDisplay(const QString& path);

// Whether a file or folder exists at path, as the file system answers.
bool PathExists(const QString& path);

} // namespace catalogue
