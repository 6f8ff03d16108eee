#include "artwork/WizardTexts.h"

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

const QString CancelToExit = u"Click Cancel to exit the wizard."_s;
const QString NextToContinue = u"Click Next to continue, or Cancel to exit the wizard."_s;
const QString ScanFirst =
    u"Please click the Step 1: Scan iTunes button before running this wizard."_s;
const QString CheckOne =
    u"Please place a check mark by at least one song before running this wizard."_s;
const QString Reviewed = u"Please be sure that you have reviewed the check marked songs on the "
                         u"Eligible Songs tab before running this wizard."_s;

StepStatus statusOf(int listMainStatus, const QString& ineligible, const QString& ready,
                    const QString& readyNext) {
    switch (listMainStatus) {
    case 1:
        return {ineligible, CancelToExit, false};
    case 2:
        return {ScanFirst, CancelToExit, false};
    case 3:
        return {CheckOne, CancelToExit, false};
    case 4:
        return {ready, readyNext, true};
    default:
        return {{}, {}, false, true};
    }
}

} // namespace

StepStatus EmbedWizardStatus(int listMainStatus) {
    return statusOf(listMainStatus,
                    u"Please choose the Eligible Songs tab, and review the check marked songs "
                    u"before running this wizard."_s,
                    Reviewed, NextToContinue);
}

StepStatus DeleteWizardStatus(int listMainStatus) {
    return statusOf(listMainStatus,
                    u"This wizard cannot be run while the Ineligible Songs tab is selected. Please "
                    u"choose the Eligible Songs tab, and place a check mark next to any song from "
                    u"which artwork should be deleted. Then re-run this wizard."_s,
                    Reviewed, NextToContinue);
}

StepStatus ThumbnailWizardStatus(int listMainStatus) {
    return statusOf(listMainStatus,
                    u"This wizard cannot be run while the Ineligible Songs tab is selected. Please "
                    u"choose the Eligible Songs tab, and place a check mark next to any song which "
                    u"you want to use as a source for its folder thumbnail. Then re-run this "
                    u"wizard."_s,
                    u"Please be sure that you have reviewed the check-marked songs on the Eligible "
                    u"Songs tab before running this wizard."_s,
                    NextToContinue);
}

namespace {
const QString OnePageIneligible = u"Please select the Eligible Songs tab and review the check "
                                  u"marked songs before running this wizard."_s;
} // namespace

StepStatus PlaylistWizardStatus(int listMainStatus) {
    return statusOf(listMainStatus, OnePageIneligible, Reviewed,
                    u"Click Go! below to create the iTunes playlist, or click Cancel to exit the "
                    u"wizard."_s);
}

StepStatus EmbedDownloadedWizardStatus(int listMainStatus) {
    return statusOf(listMainStatus, OnePageIneligible, Reviewed,
                    u"Click Go! below to begin embedding downloaded album cover art, or click "
                    u"Cancel to exit the wizard."_s);
}

StepStatus GetArtworkWizardStatus(int listMainStatus) {
    return statusOf(listMainStatus, OnePageIneligible, Reviewed,
                    u"Click Go! below to get album cover artwork for the songs of the playlist, or "
                    u"click Cancel to exit the wizard."_s);
}

QString UnknownListStatusMessage() {
    return u"Error! FormMain.ListMainStatus = else"_s;
}

QString SelCountText(int selCount) {
    if (selCount == 0)
        return u"You have no songs checked."_s;
    if (selCount == 1)
        return u"You have 1 song checked."_s;
    return u"You have %1 songs checked."_s.arg(selCount);
}

} // namespace artwork
