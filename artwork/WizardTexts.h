#pragma once

// What the first page of each wizard says about the song list it is to
// work on, from the main window's ListMainStatus (1 the Ineligible tab is
// current, 2 the Eligible list is empty, 3 nothing checked, 4 ready).

#include <QString>

namespace artwork {

struct StepStatus {
    QString status;
    QString nextStep;
    bool nextEnabled = false;
    // A status the wizards do not know: the caller shows the critical
    // "Error! FormMain.ListMainStatus = else" message.
    bool unknown = false;
};

StepStatus EmbedWizardStatus(int listMainStatus);
StepStatus DeleteWizardStatus(int listMainStatus);
StepStatus ThumbnailWizardStatus(int listMainStatus);
// The two one-page wizards differ only in the ready text.
StepStatus PlaylistWizardStatus(int listMainStatus);
StepStatus EmbedDownloadedWizardStatus(int listMainStatus);
StepStatus GetArtworkWizardStatus(int listMainStatus);

QString UnknownListStatusMessage();

// "You have no songs checked.", "You have 1 song checked.", "You have N
// songs checked.".
QString SelCountText(int selCount);

} // namespace artwork
