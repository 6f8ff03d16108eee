#include "artwork/FolderImageWrite.h"

#include "musiclibrary/SafeFileWrite.h"
#include "support/FileAttributes.h"
#include "support/FileShell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Undoes a move to the Trash: the file back in its place, its record gone.
void putBack(const QString& inTrash, const QString& original) {
    if (inTrash.isEmpty() || !QFile::rename(inTrash, original))
        return;
    const QFileInfo trashed(inTrash);
    QFile::remove(trashed.absolutePath() + u"/../info/"_s + trashed.fileName() + u".trashinfo"_s);
}

} // namespace

QString WriteFolderImage(const QString& target, const QByteArray& data,
                         const FolderImageWriteOptions& options) {
    const QString prefix = u"Cannot write \"%1\": "_s.arg(target);
    const bool replacing = !options.existing.isEmpty() && QFileInfo::exists(options.existing);
    mode_t mode = newFileMode();
    std::optional<uint32_t> attributes = options.attributes;
    if (replacing) {
        struct stat old {};
        if (::stat(QFile::encodeName(options.existing).constData(), &old) == 0)
            mode = old.st_mode & 07777;
        if (!attributes)
            attributes = support::ReadDosAttributes(options.existing);
    }
    try {
        musiclibrary::NewFileWrite file(target, mode);
        file.write(data);
        QString inTrash;
        if (replacing) {
            file.markReady();
            const int recycled = support::RecycleFile(options.existing, false, nullptr, &inTrash);
            if (recycled != support::RecycleGone)
                return u"The file \"%1\" could not be moved to the Trash (its drive may have no "
                       u"Trash folder), so it was left as it was and no new file was written."_s
                           .arg(options.existing);
        }
        try {
            file.commit();
        } catch (...) {
            putBack(inTrash, options.existing);
            throw;
        }
    } catch (const musiclibrary::FileFailure& failure) {
        return prefix + failure.reason;
    }
    if (attributes)
        support::SetDosAttributes(target, *attributes);
    return {};
}

} // namespace artwork
