#pragma once

// Folder listings: the plain files of one folder (hidden ones included, no
// sub-folders), sorted by name so that every run is repeatable. A folder
// that cannot be listed (missing, unreadable, a file) lists nothing.

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

namespace catalogue {

// Names of the plain files in folder (a folder text ending in "/", or not),
// sorted by code point.
QStringList ListFolderFiles(const QString& folder);

// Lists folders; tests replace it to count or fake listings.
using FolderLister = std::function<QStringList(const QString& folder)>;

// The name in names that equals wanted without regard to case, as the file
// system spells it; the first in sorted order when several do. Empty when none.
QString FindNamedFile(const QStringList& names, const QString& wanted);

// folder + the name of the file called name whatever its case (e.g.
// "folder.JPG" for "Folder.jpg"); folder + name when there is none, which is
// also the name to create.
QString ResolveNamedFile(const QString& folder, const QString& name);

} // namespace catalogue
