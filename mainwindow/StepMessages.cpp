#include "mainwindow/StepMessages.h"

#include "support/MsgBoxMaybe.h"
#include "support/RegistryKeys.h"
#include "support/UiServices.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace mainwindow {

QString Step2HelpText() {
    const QStringList paragraphs = {
        u"The Eligible Songs tab shows all songs which have cover art available somewhere. When "
        u"you run a wizard in step 3, every eligible song with a check mark will be affected. "
        u"Clear the check mark from any song that you don't want to affect."_s,
        u"Songs on the Ineligible Songs tab do not have cover art available.  Use the Web tab at "
        u"the bottom of the window to jump to a web site from which you can download the cover "
        u"art.  Adding cover art to a song will move the song to the Eligible Songs tab."_s,
        u"You can drag and drop new cover art from a browser window onto anywhere on this window "
        u"to assign the art to the currently selected song (and all songs on that album). This "
        u"will work for both eligible and ineligible songs."_s,
        u"After you have reviewed the eligible songs (and their checkmarks), choose a wizard "
        u"from the right side of the Step 3: Run Wizard button."_s,
        u"For more information, open the Help menu and choose Online Documentation."_s,
    };
    return paragraphs.join(u"\n\n"_s);
}

void ShowStep2Help(support::MessageBoxes& messages) {
    messages.show(Step2HelpText(), u"Quillmoth - Step 2"_s, support::MbOk, support::MbInformation);
}

QString Step3HintText() {
    return u"Please click on the small drop-down arrow on the right-hand side of the Step 3: Run "
           u"Wizard button, then choose the wizard that you wish to run."_s;
}

void ShowStep3Hint(support::MessageBoxes& messages, int& step3ClickCount) {
    if (support::IsMsgBoxSuppressed(support::MSG_KEY_STEP3)) {
        // Users who hid the hint and still click the button body have most
        // likely forgotten where the wizards are.
        if (++step3ClickCount >= 3) {
            support::MsgBoxMaybe_Restore();
            step3ClickCount = 0;
        }
    }
    support::MsgBoxMaybe(messages, Step3HintText(), support::MbOk, support::MbInformation,
                         support::MSG_KEY_STEP3, true);
}

} // namespace mainwindow
