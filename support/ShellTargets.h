#pragma once

// What the shell helpers hand to the desktop, worked out apart from the
// desktop itself so that it can be checked without one. DesktopShell.h
// carries these out.

#include "support/UiServices.h"

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace support {

// Opens a URL with its default application; false when that failed.
using UrlOpener = std::function<bool(const QUrl&)>;

// The URL a ShellOpen target stands for: a web address, a host name
// ("quillmoth.example.org" becomes http://...) or an absolute local path.
// Invalid for text of blanks or text that is no URL.
QUrl ShellOpenUrl(const QString& target);
// ShellOpen through the given opener: trims the target and does nothing when
// it is blank or no URL. Failures are silent.
void ShellOpenWith(const QString& target, const UrlOpener& open);

// Showing a file in the file manager: select it in its folder, or, when
// there is nothing to select, open a folder.
struct ExplorerTarget {
    enum class Kind { SelectFile, OpenFolder };
    Kind kind = Kind::OpenFolder;
    QUrl url;
};
// The file URI the file manager is asked to select, fully encoded
// ("file:///music/a%20b/%22x%22.mp3"); relative paths are taken from the
// current folder.
QString FileUri(const QString& path);
// An existing file or folder is selected; an empty path opens the home
// folder; a missing one opens its nearest existing parent folder.
ExplorerTarget ShowInExplorerTarget(const QString& path);

// The File menu's "View File in Windows Explorer" command: with no selected
// row (selectedFullPath empty optional) it shows the exclamation message
// "Please select a song before choosing this menu command." and returns
// false, so that the caller disables the menu item; otherwise it calls show
// with the row's full path when that is not empty, and returns true.
bool ViewFileInExplorer(const std::optional<QString>& selectedFullPath, MessageBoxes& boxes,
                        const std::function<void(const QString&)>& show);

} // namespace support
