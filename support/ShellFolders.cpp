#include "support/ShellFolders.h"

#include <QStandardPaths>

namespace support {

QString GetSpecialFolder(int folderNumber, int /*flags*/) {
    QStandardPaths::StandardLocation location;
    switch (folderNumber & 0xFF) {
    case CSIDL_PERSONAL:
        location = QStandardPaths::DocumentsLocation;
        break;
    case CSIDL_MYMUSIC:
        location = QStandardPaths::MusicLocation;
        break;
    case CSIDL_LOCAL_APPDATA:
        location = QStandardPaths::GenericDataLocation;
        break;
    case CSIDL_MYPICTURES:
        location = QStandardPaths::PicturesLocation;
        break;
    default:
        return {};
    }
    QString folder = QStandardPaths::writableLocation(location);
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

} // namespace support
