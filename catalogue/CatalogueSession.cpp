#include "catalogue/CatalogueSession.h"

#include "foldertree/FolderTree.h"

#include <exception>
#include <utility>

using namespace Qt::StringLiterals;

namespace catalogue {

CatalogueSession::CatalogueSession() = default;

CatalogueSession::~CatalogueSession() {
    // The tree lives in the folder-tree library, not in this object.
    Tree_Free(PathNodeTree);
}

namespace {

musiclibrary::ITunesPtr OpenLibrary(const LibraryOpener& openLibrary, QString& failure) {
    musiclibrary::ITunesPtr library;
    try {
        if (openLibrary)
            library = openLibrary();
    } catch (const musiclibrary::LibraryError& error) {
        failure = error.description();
    } catch (const std::exception& error) {
        failure = QString::fromLocal8Bit(error.what());
    } catch (...) {
        failure = u"unknown failure"_s;
    }
    if (!library && failure.isEmpty())
        failure = u"no library was opened"_s;
    return library;
}

} // namespace

bool CatalogueSession::Init(const LibraryOpener& openLibrary, QString* failure) {
    QString reason;
    musiclibrary::ITunesPtr library = OpenLibrary(openLibrary, reason);
    if (!library) {
        if (failure)
            *failure = reason;
        return false;
    }
    Library = std::move(library);
    m_openLibrary = openLibrary;
    m_libraryFresh = true;
    ViewFilter = ViewFilterDefault;
    // A tree that cannot be made is reported by the first scan, which
    // tries again.
    Tree_Free(PathNodeTree);
    PathNodeTree = Tree_New();
    return true;
}

bool CatalogueSession::RefreshLibrary(QString& failure) {
    if (std::exchange(m_libraryFresh, false) || !m_openLibrary)
        return true;
    musiclibrary::ITunesPtr library = OpenLibrary(m_openLibrary, failure);
    if (!library)
        return false;
    Library = std::move(library);
    return true;
}

void CatalogueSession::UnInit() {
    Tree_Free(PathNodeTree);
    PathNodeTree = 0;
    Kinds.Release();
    Library.reset();
    m_openLibrary = nullptr;
    m_libraryFresh = false;
}

QString CatalogueSession::ConnectionFailureMessage() {
    return u"Quillmoth cannot start because it cannot connect to iTunes!"_s + u"\n\n"_s +
           u"This version of Quillmoth requires iTunes version 7.7.1 or later. Please install, "
           u"upgrade, or repair iTunes."_s +
           u"\n\n"_s +
           u"To repair your iTunes installation, use 'Add or Remove Programs' in the Windows "
           u"Control Panel. Select 'iTunes' with a single click, then click the 'Change' "
           u"button."_s +
           u"\n\n"_s + u"Quillmoth will now exit."_s;
}

} // namespace catalogue
