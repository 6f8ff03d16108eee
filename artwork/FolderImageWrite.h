#pragma once

// Writing an image file into an album folder (a folder thumbnail, a dropped
// cover saved as Folder.jpg) without ever losing the file it replaces: the
// new image is written and flushed under a temporary name first, then the
// old file goes to the Trash, then the new one takes the name. Any failure
// leaves the old file where it was.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace artwork {

struct FolderImageWriteOptions {
    // The file being replaced (it may be target itself), empty when none.
    QString existing;
    // The hidden/system attributes the new file gets where the file system
    // has them; none: those of the file replaced (normal for a new file).
    std::optional<uint32_t> attributes;
};

// Returns empty text on success, else why it failed (a sentence naming the
// file). A file the Trash cannot take is left alone and reported.
QString WriteFolderImage(const QString& target, const QByteArray& data,
                         const FolderImageWriteOptions& options = {});

} // namespace artwork
