#include "tests/common/ScriptedUi.h"

namespace testing_support {

int ScriptedMessageBoxes::show(const QString& text, const QString& title, int buttons, int icon) {
    shown.append({text, title, buttons, icon, false});
    if (answers.empty())
        return buttons == support::MbYesNo ? support::IdYes : support::IdOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

int ScriptedMessageBoxes::showWithCheckBox(const QString& text, const QString& title, int buttons,
                                           int icon, bool* dontShowAgain) {
    const int answer = show(text, title, buttons, icon);
    shown.last().withCheckBox = true;
    bool checked = false;
    if (!checkBoxAnswers.empty()) {
        checked = checkBoxAnswers.front();
        checkBoxAnswers.pop_front();
    }
    if (dontShowAgain)
        *dontShowAgain = checked;
    return answer;
}

void ScriptedEventPump::processPendingEvents() {
    ++calls;
    if (onProcess)
        onProcess(calls);
}

} // namespace testing_support
