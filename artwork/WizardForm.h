#pragma once

// What the program's wizards share: the step caption over an etched line,
// one page at a time in one place, "< Back", "Next >" (or "Go!" on the last
// page) and "Cancel", the result the opener reads, and the refused close
// box (a wizard ends only through Go! or Cancel; Esc is Cancel's key).

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace mainwindow {
class Uc3dLine;
}

namespace artwork {

class WizardForm : public QDialog {
    Q_OBJECT
public:
    enum Result : int32_t { ResultNone = 0, ResultGo = 1, ResultCancel = 2 };

    // backCaption: the Back button's text ("< &Back" or "<  &Back").
    WizardForm(const QString& title, const QString& backCaption, QWidget* parent = nullptr);

    int32_t Result() const { return m_result; }
    int currentStep() const { return m_step; }
    int stepCount() const;

    QLabel* LabStepDesc() const { return m_labStepDesc; }
    QPushButton* ButBack() const { return m_butBack; }
    QPushButton* ButNext() const { return m_butNext; }
    QPushButton* ButCancel() const { return m_butCancel; }
    // The page of step (1-based), nullptr outside the steps.
    QWidget* PicStep(int step) const;

    // "Step 1: Welcome", "Step 2: Options", "Step 3: Ready"; "Step ?" else.
    static QString StepCaption(int step);

    void reject() override;

protected:
    // Adds the page of the next step; the wizard owns it.
    QWidget* addStep();
    // Hides the current page, shows step's, updates the controls and moves
    // the focus.
    void ShowStep(int step);
    // Captions, enabling and the step caption, after every change.
    void updateButtons();

    // Whether Next may leave the current step; the last step's Next finishes.
    virtual bool nextAllowed() const { return true; }
    // Step-specific enabling, run by updateButtons() before the buttons.
    virtual void updateStepControls() {}
    // Where the focus goes when a step is shown; nullptr: Next when it is
    // enabled, else Cancel.
    virtual QWidget* focusForStep(int /*step*/) { return nullptr; }
    // Copies the choices into the wizard's variables at Go!.
    virtual void finishChoices() {}

    void closeEvent(QCloseEvent* event) override;

private:
    void next();
    void back();
    void finish(int32_t result);

    QLabel* m_labStepDesc = nullptr;
    mainwindow::Uc3dLine* m_line = nullptr;
    QStackedWidget* m_pages = nullptr;
    QPushButton* m_butBack = nullptr;
    QPushButton* m_butNext = nullptr;
    QPushButton* m_butCancel = nullptr;
    int m_step = 0;
    int32_t m_result = ResultNone;
};

} // namespace artwork
