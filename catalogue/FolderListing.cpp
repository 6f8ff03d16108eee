#include "catalogue/FolderListing.h"

#include <QFile>

#include <algorithm>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>

namespace catalogue {

namespace {

// Closes the directory stream on every way out.
struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool isPlainFile(int dirFd, const dirent& entry) {
    if (entry.d_type == DT_REG)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    // A link counts by what it points to, as file managers show it; some
    // file systems do not fill in the type at all.
    struct stat info;
    return ::fstatat(dirFd, entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

} // namespace

QStringList ListFolderFiles(const QString& folder) {
    QStringList names;
    // A NUL would end the name early and list another folder.
    if (folder.isEmpty() || folder.contains(QChar(u'\0')))
        return names;
    const QByteArray encoded = QFile::encodeName(folder);
    std::unique_ptr<DIR, DirCloser> dir(::opendir(encoded.constData()));
    if (!dir)
        return names;
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        if (isPlainFile(dirFd, *entry))
            names.append(QFile::decodeName(entry->d_name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

QString FindNamedFile(const QStringList& names, const QString& wanted) {
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    }
    return {};
}

QString ResolveNamedFile(const QString& folder, const QString& name) {
    const QString base = folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
    const QString found = FindNamedFile(ListFolderFiles(base), name);
    return base + (found.isEmpty() ? name : found);
}

} // namespace catalogue
