#include "support/MsgBoxMaybe.h"

#include "support/Registry.h"
#include "support/RegistryKeys.h"

using namespace Qt::StringLiterals;

namespace support {

namespace {
// What the shell writes for a message the user asked not to see again.
const QString SuppressedMark = u"no"_s;
} // namespace

int SuppressedAnswer(int buttons, bool positiveDefault) {
    switch (buttons) {
    case MbOk:
        return IdOk;
    case MbOkCancel:
        return positiveDefault ? IdOk : IdCancel;
    case MbYesNo:
        return positiveDefault ? IdYes : IdNo;
    default:
        return 0;
    }
}

bool IsMsgBoxSuppressed(const QString& messageKey) {
    return RegGetString(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, messageKey).trimmed().toLower() ==
           SuppressedMark;
}

void MsgBoxMaybe_Restore() {
    RegDeleteValue(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, MSG_KEY_STEP3);
}

int MsgBoxMaybe(MessageBoxes& boxes, const QString& prompt, int buttons, int icon,
                const QString& messageKey, bool positiveDefault, const QString& title) {
    // The beep older systems wanted before the box is never due here: the
    // message boxes make their own sound.
    int answerWhenSuppressed = SuppressedAnswer(buttons, positiveDefault);
    if (answerWhenSuppressed == 0) {
        boxes.show(u"Error! Invalid Buttons value!"_s, u"MsgBoxMaybe"_s, MbOk, MbCritical);
        answerWhenSuppressed = IdCancel;
    }
    if (IsMsgBoxSuppressed(messageKey))
        return answerWhenSuppressed;

    bool dontShowAgain = false;
    const int answer = boxes.showWithCheckBox(prompt, title.isEmpty() ? u"Quillmoth"_s : title,
                                              buttons, icon, &dontShowAgain);
    if (dontShowAgain && answer == answerWhenSuppressed && !messageKey.trimmed().isEmpty())
        RegSetString(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, messageKey, SuppressedMark);
    return answer;
}

} // namespace support
