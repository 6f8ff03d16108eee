#pragma once

// Message boxes with a "Do not show this message again" check box. The
// per-message state lives in the user's settings under KEY_DONT_SHOW_AGAIN:
// the value named after the message key holds "no" while the message is
// suppressed.

#include "support/UiServices.h"

#include <QString>

namespace support {

// Shows prompt with the check box and returns the MsgResult pressed. While
// the message is suppressed nothing is shown and the answer is the one the
// buttons give: with positiveDefault OK (OK only, OK/Cancel) or Yes (Yes/No);
// without it OK (OK only), Cancel (OK/Cancel) or No (Yes/No). A buttons value
// other than 0, 1 or 4 first shows "Error! Invalid Buttons value!" and then
// uses Cancel. An empty title becomes "Quillmoth".
//
// Ticking the check box suppresses the message only when the button pressed
// is the one that will be answered from then on. Otherwise a user who ticks
// the box and presses Cancel would find the program answering OK for them
// the next time, the opposite of what they just chose.
int MsgBoxMaybe(MessageBoxes& boxes, const QString& prompt, int buttons, int icon,
                const QString& messageKey, bool positiveDefault, const QString& title = {});

// True when the message key's stored value, trimmed and lower-cased, is "no".
bool IsMsgBoxSuppressed(const QString& messageKey);

// Shows the Step 3 hint again: deletes the value of MSG_KEY_STEP3.
void MsgBoxMaybe_Restore();

// The answer a suppressed message gives, or 0 for an invalid buttons value.
int SuppressedAnswer(int buttons, bool positiveDefault);

} // namespace support
