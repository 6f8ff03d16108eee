#include "support/ShellTargets.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace support {

QUrl ShellOpenUrl(const QString& target) {
    const QString trimmed = target.trimmed();
    if (trimmed.isEmpty())
        return {};
    const QUrl url = QUrl::fromUserInput(trimmed);
    return url.isValid() ? url : QUrl();
}

void ShellOpenWith(const QString& target, const UrlOpener& open) {
    const QUrl url = ShellOpenUrl(target);
    if (url.isValid() && open)
        open(url);
}

QString FileUri(const QString& path) {
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

ExplorerTarget ShowInExplorerTarget(const QString& path) {
    using Kind = ExplorerTarget::Kind;
    if (path.trimmed().isEmpty())
        return {Kind::OpenFolder, QUrl::fromLocalFile(QDir::homePath())};
    const QFileInfo info(path);
    if (info.exists())
        return {Kind::SelectFile, QUrl(FileUri(path))};
    QString existing = info.absolutePath();
    while (!QFileInfo(existing).isDir() && existing != u"/"_s)
        existing = QFileInfo(existing).absolutePath();
    return {Kind::OpenFolder, QUrl::fromLocalFile(existing)};
}

bool ViewFileInExplorer(const std::optional<QString>& selectedFullPath, MessageBoxes& boxes,
                        const std::function<void(const QString&)>& show) {
    if (!selectedFullPath) {
        boxes.show(u"Please select a song before choosing this menu command."_s, u"Quillmoth"_s,
                   MbOk, MbExclamation);
        return false;
    }
    if (!selectedFullPath->isEmpty() && show)
        show(*selectedFullPath);
    return true;
}

} // namespace support
