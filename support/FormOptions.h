#pragma once

// File > "Options...": whether the program looks for a new version a few
// seconds after it starts, and how many days apart those checks are.

#include "support/UiServices.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace support {

class FormOptions : public QDialog {
    Q_OBJECT
public:
    enum Result : int32_t { ResultNone = 0, ResultOk = 1, ResultCancel = 2 };

    // messages shows the refusal of an invalid number of days.
    explicit FormOptions(MessageBoxes& messages, QWidget* parent = nullptr);

    // Fills the controls from the settings.
    void Init();
    // 1 after a valid OK (the settings are saved then), 2 after Cancel,
    // Escape or the close box, 0 while the dialog is open.
    int32_t DialogResult() const { return m_dialogResult; }

    QGroupBox* FrameWiseUpdate() const { return m_frame; }
    QCheckBox* CheckWiseUpdateEnabled() const { return m_check; }
    // 0 before the text box, 1 after it.
    QLabel* LabEditWiseUpdateCheckDays(int index) const { return m_labels.at(index ? 1 : 0); }
    QLineEdit* EditWiseUpdateCheckDays() const { return m_edit; }
    QLabel* LabZeroDaysNote() const { return m_zeroDaysNote; }
    QLabel* LabManualCheckNote() const { return m_manualCheckNote; }
    QPushButton* ButOK() const { return m_butOK; }
    QPushButton* ButCancel() const { return m_butCancel; }

    void reject() override;

    // The refusal of an invalid entry; its second paragraph explains the
    // default to a user whose check box is unchecked.
    static QString InvalidDaysText(bool checkBoxChecked);

private:
    void enableDays(bool enabled);
    void okClicked();
    void finish(Result result);

    MessageBoxes& m_messages;
    QGroupBox* m_frame = nullptr;
    QCheckBox* m_check = nullptr;
    std::array<QLabel*, 2> m_labels{};
    QLineEdit* m_edit = nullptr;
    QLabel* m_zeroDaysNote = nullptr;
    QLabel* m_manualCheckNote = nullptr;
    QPushButton* m_butOK = nullptr;
    QPushButton* m_butCancel = nullptr;
    int32_t m_dialogResult = ResultNone;
};

} // namespace support
