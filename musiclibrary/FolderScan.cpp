#include "musiclibrary/FolderScan.h"

#include "musiclibrary/SafeFileWrite.h"

#include <QFile>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

namespace musiclibrary {

namespace {

constexpr std::string_view audioExtensions[] = {
    "mp3", "m4a", "m4p",  "m4b",  "aac", "aif", "aiff", "aifc", "wav",
    "ogg", "oga", "opus", "flac", "wma", "ape", "mpc",  "wv",   "mp2",
};

// Extensions are ASCII, so the raw bytes of a name can be checked without
// decoding it: cheap enough to run on every entry of a large folder.
bool hasAudioExtension(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view extension = name.substr(dot + 1);
    return std::any_of(
        std::begin(audioExtensions), std::end(audioExtensions), [&](std::string_view known) {
            return known.size() == extension.size() &&
                   std::equal(known.begin(), known.end(), extension.begin(), [](char a, char b) {
                       return a == (b >= 'A' && b <= 'Z' ? b + 32 : b);
                   });
        });
}

FileStamp stampOf(const struct stat& st) {
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

constexpr std::string_view copyMarker = ".quillmoth-";

using DirectoryKey = std::pair<dev_t, ino_t>;

struct Walker {
    std::set<DirectoryKey> visited;
    QList<FoundFile> found;

    void walk(const std::string& folder) {
        std::vector<std::pair<std::string, unsigned char>> names;
        if (DIR* dir = opendir(folder.empty() ? "/" : folder.c_str())) {
            while (const dirent* entry = readdir(dir)) {
                const std::string_view name = entry->d_name;
                if (name != "." && name != "..")
                    names.emplace_back(std::string(name), entry->d_type);
            }
            closedir(dir);
        }
        std::sort(names.begin(), names.end());
        // Opening a library tidies up after writes that were killed: a
        // song whose in-place write was cut off gets its old bytes back
        // before it is read. Only names of that form cost anything extra.
        for (const auto& [name, type] : names)
            if ((type == DT_REG || type == DT_UNKNOWN) && name.front() == '.' &&
                name.find(copyMarker) != name.npos)
                SafeFileWrite::tidyLeftover(QFile::decodeName((folder + '/' + name).c_str()));
        for (const auto& [name, type] : names) {
            // Most entries are plain files that are not audio: skip them
            // without a stat call, which is what makes a listing cheap.
            const bool maybeAudio = hasAudioExtension(name);
            if (type == DT_REG && !maybeAudio)
                continue;
            const std::string full = folder + '/' + name;
            struct stat st;
            if (stat(full.c_str(), &st) != 0)
                continue; // a dangling link or a file that just vanished
            if (S_ISDIR(st.st_mode)) {
                if (visited.insert({st.st_dev, st.st_ino}).second)
                    walk(full);
            } else if (S_ISREG(st.st_mode) && maybeAudio) {
                found.append({QFile::decodeName(full.c_str()), stampOf(st)});
            }
        }
    }
};

} // namespace

bool isAudioFileName(QStringView fileName) {
    return hasAudioExtension(fileName.toUtf8().toStdString());
}

FileStamp statFile(const QString& path) {
    struct stat st;
    if (path.isEmpty() || stat(QFile::encodeName(path).constData(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return {};
    return stampOf(st);
}

QList<FoundFile> listAudioFiles(const QString& root) {
    Walker walker;
    std::string start = QFile::encodeName(root).toStdString();
    while (start.size() > 1 && start.back() == '/')
        start.pop_back();
    struct stat st;
    if (stat(start.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {};
    walker.visited.insert({st.st_dev, st.st_ino});
    walker.walk(start == "/" ? std::string() : start);
    return walker.found;
}

} // namespace musiclibrary
