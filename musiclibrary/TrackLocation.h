#pragma once

// Turning the "Location" URLs of a library file into paths of this machine.
// Library files are often copied from another machine, so their locations
// name that machine's folders (file://localhost/C:/Users/...).

#include <QString>

namespace musiclibrary {

class LocationMapper {
public:
    // musicFolderUrl: the library file's "Music Folder" entry (may be empty).
    LocationMapper(const QString& libraryFilePath, const QString& musicFolderUrl);

    // The path of a location URL here: the decoded path when a file exists
    // there; else, when the location lies below the library's music folder,
    // the same relative path below the library file's own folder (or below
    // the music folder's last component there) when such a file exists. When
    // nothing exists, the first candidate below the library file's folder, or
    // the decoded path itself. A location that is not a file URL is returned
    // unchanged; an empty one stays empty.
    QString map(const QString& locationUrl) const;

private:
    QString m_libraryFolder;
    QString m_musicFolderPath; // decoded, ending in "/"
    QString m_musicFolderName; // its last component
};

// The path that a file URL names, decoded. Windows drive paths lose the
// slash in front of the drive ("C:/Users/..."); another host gives a
// "//host/..." path. Empty for anything that is not a file URL.
QString pathOfFileUrl(const QString& url);

} // namespace musiclibrary
