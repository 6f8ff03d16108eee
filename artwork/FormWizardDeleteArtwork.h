#pragma once

// The Delete Artwork wizard: whether to delete downloaded and embedded
// artwork, which embedded images by the rules, and the target size those
// rules compare with.

#include "artwork/DeleteRules.h"
#include "artwork/WizardForm.h"

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;

namespace artwork {

class FormWizardDeleteArtwork : public WizardForm {
    Q_OBJECT
public:
    // listMainStatus answers the main window's ListMainStatus; currentTab
    // its current tab (the count is hidden on the Ineligible tab);
    // criticalMessage shows the message for a status no step knows.
    FormWizardDeleteArtwork(std::function<int()> listMainStatus, std::function<int()> currentTab,
                            std::function<void(const QString&)> criticalMessage,
                            QWidget* parent = nullptr);

    // The opener's variables (see DeleteParameters), and the checked rows.
    int32_t SelCount = 0;
    DeleteParameters Choices;

    void Init();
    void UpdateUi() { updateButtons(); }

    QLabel* LabSelCount = nullptr;
    QLabel* LabStep1Status = nullptr;
    QLabel* LabStep1NextStep = nullptr;
    QCheckBox* CheckDeleteDownloaded = nullptr;
    QCheckBox* CheckDeleteEmbedded = nullptr;
    QLabel* LabListSingleDelete = nullptr;
    QListWidget* ListSingleDelete = nullptr;
    QLabel* LabListMultipleDelete = nullptr;
    QListWidget* ListMultipleDelete = nullptr;
    QLabel* LabListTargetSizes = nullptr;
    QListWidget* ListTargetSizes = nullptr;
    QCheckBox* CheckMakeBackups = nullptr;

protected:
    bool nextAllowed() const override;
    void updateStepControls() override;
    void finishChoices() override;

private:
    void buildWelcome();
    void buildOptions();
    void buildReady();
    bool targetsApply() const;

    std::function<int()> m_listMainStatus;
    std::function<int()> m_currentTab;
    std::function<void(const QString&)> m_criticalMessage;
    bool m_step1AllowsNext = false;
};

} // namespace artwork
