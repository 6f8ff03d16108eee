#include "support/QtUiServices.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace support {

namespace {

QMessageBox::Icon qtIcon(int icon) {
    switch (icon & 0xF0) {
    case MbCritical:
        return QMessageBox::Critical;
    case 32: // the question mark, which no caller of ours uses but is valid
        return QMessageBox::Question;
    case MbExclamation:
        return QMessageBox::Warning;
    case MbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

struct ButtonAnswer {
    QMessageBox::StandardButton button;
    int answer;
};

// The buttons in the order they appear, the first being the default as in
// the Windows boxes whose codes we take.
QList<ButtonAnswer> buttonsFor(int buttons) {
    switch (buttons & 0x0F) {
    case MbOkCancel:
        return {{QMessageBox::Ok, IdOk}, {QMessageBox::Cancel, IdCancel}};
    case MbYesNo:
        return {{QMessageBox::Yes, IdYes}, {QMessageBox::No, IdNo}};
    default:
        return {{QMessageBox::Ok, IdOk}};
    }
}

// Shows the normal pointer for its lifetime when a busy pointer is set, and
// then gives the busy pointer back. It stacks on top of the override cursor
// rather than changing it, so whoever set that one still restores their own.
class ArrowWhileAsking {
public:
    ArrowWhileAsking() : m_active(QGuiApplication::overrideCursor() != nullptr) {
        if (m_active)
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowWhileAsking() {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
    }
    ArrowWhileAsking(const ArrowWhileAsking&) = delete;
    ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

private:
    bool m_active;
};

int runBox(const QString& text, const QString& title, int buttons, int icon, bool* dontShowAgain) {
    QMessageBox box(ActiveForm());
    box.setWindowTitle(title.isEmpty() ? u"Quillmoth"_s : title);
    box.setText(text);
    box.setIcon(qtIcon(icon));
    box.setTextFormat(Qt::PlainText);
    const QList<ButtonAnswer> choices = buttonsFor(buttons);
    for (const ButtonAnswer& choice : choices)
        box.addButton(choice.button);
    box.setDefaultButton(choices.first().button);
    // Escape and the window's close button give the last button: Cancel, No,
    // or OK when it is alone.
    box.setEscapeButton(box.button(choices.last().button));
    QCheckBox* check = nullptr;
    if (dontShowAgain) {
        check = new QCheckBox(u"Do not show this message again"_s, &box);
        box.setCheckBox(check);
    }
    {
        // A question asked in the middle of a long run must not be answered
        // under the hourglass that the run has set for the whole program.
        const ArrowWhileAsking arrow;
        box.exec();
    }
    if (dontShowAgain)
        *dontShowAgain = check->isChecked();
    const QAbstractButton* pressed = box.clickedButton();
    for (const ButtonAnswer& choice : choices) {
        if (box.button(choice.button) == pressed)
            return choice.answer;
    }
    return choices.last().answer;
}

} // namespace

QWidget* ActiveForm() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

int QtMessageBoxes::show(const QString& text, const QString& title, int buttons, int icon) {
    return runBox(text, title, buttons, icon, nullptr);
}

int QtMessageBoxes::showWithCheckBox(const QString& text, const QString& title, int buttons,
                                     int icon, bool* dontShowAgain) {
    bool checked = false;
    const int answer = runBox(text, title, buttons, icon, &checked);
    if (dontShowAgain)
        *dontShowAgain = checked;
    return answer;
}

void QtEventPump::processPendingEvents() {
    if (m_sinceLastRun.isValid() && m_sinceLastRun.elapsed() < m_minimumIntervalMs)
        return;
    QCoreApplication::processEvents();
    m_sinceLastRun.start();
}

void QtBeeper::beep() {
    QApplication::beep();
}

} // namespace support
