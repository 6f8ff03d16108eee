#pragma once

// The explanations behind the Step 2 and Step 3 toolbar buttons.

#include <QString>

namespace support {
class MessageBoxes;
}

namespace mainwindow {

QString Step2HelpText();
void ShowStep2Help(support::MessageBoxes& messages);

QString Step3HintText();
// The hint can be suppressed with its check box; a user who did so and keeps
// clicking the button body sees it again on every third click.
void ShowStep3Hint(support::MessageBoxes& messages, int& step3ClickCount);

} // namespace mainwindow
