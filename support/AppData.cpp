#include "support/AppData.h"

#include "support/ShellFolders.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

using namespace Qt::StringLiterals;

namespace support {

namespace {

std::optional<QString>& rememberedFolder() {
    static std::optional<QString> folder;
    return folder;
}

QString withTrailingSlash(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace

QString AppDataFolderBelow(const QString& baseFolder) {
    // Without a data folder there is no sensible place in the user's home;
    // the temporary folder at least keeps the files out of the root folder.
    const QString base = withTrailingSlash(baseFolder.isEmpty() ? QDir::tempPath() : baseFolder);
    const QString ours = base + u"Tarnwick/Quillmoth/"_s;
    // mkpath() also reports success for an existing folder; the extra check
    // catches a plain file sitting where the folder should be.
    if (QDir().mkpath(ours) && QFileInfo(ours).isDir())
        return ours;
    return base;
}

QString AppDataFolder() {
    auto& folder = rememberedFolder();
    if (!folder)
        folder = AppDataFolderBelow(GetSpecialFolder(CSIDL_LOCAL_APPDATA));
    return *folder;
}

void ResetAppDataFolder() {
    rememberedFolder().reset();
}

} // namespace support
