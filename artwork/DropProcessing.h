#pragma once

// What the main window does with a dropped image once the drag is over:
// after the checks (not busy, exactly one song selected, its file there and
// able to hold art) and the user's confirmation, the image becomes the
// song folder's Folder.jpg, and when the folder had none the catalogue
// learns of it at once.

#include "catalogue/CheckedRowRun.h"

#include <QString>
#include <QStringList>

namespace catalogue {
class CatalogueSession;
}

namespace artwork {

enum ConfirmAnswer : int {
    ConfirmStarted = 1,
    ConfirmImageUnreadable = 3,
    ConfirmYes = 6,
    ConfirmNo = 7
};

// The two confirmation dialogs; the window shows them, tests script them.
class DropConfirmation {
public:
    virtual ~DropConfirmation() = default;
    // The folder has no Folder.jpg yet: may the dropped image become it?
    virtual int ConfirmNewFolderJpg(const QString& droppedImage) = 0;
    // The folder has one (existingFolderJpg): may the dropped image replace it?
    virtual int ConfirmReplace(const QString& location, const QString& droppedImage,
                               const QString& existingFolderJpg) = 0;
};

struct DropEnvironment {
    catalogue::CatalogueSession& session;
    catalogue::RunEnvironment& run;
    DropConfirmation& confirmation;
    // The command running now (0 when idle).
    int busy = 0;
};

QString BusyDropMessage();
QString SelectOneSongMessage();
QString MissingSongMessage(const QString& name, const QString& location);
QString KindCannotHoldArtMessage(const QString& name, const QString& kind);
QString NotAnImageMessage();
QString FolderNotFoundMessage(const QString& folder);

// The drop timer's work, with the files of the last drop.
void ProcessDrop(DropEnvironment& environment, const QStringList& dropFiles);

// The catalogue after a new Folder.jpg in the folder of location: every
// record of that folder gains the kind; rows are rewritten, or added when
// the view filter hid them before.
void ApplyNewFolderJpg(catalogue::CatalogueSession& session, catalogue::RunEnvironment& run,
                       const QString& location);

} // namespace artwork
