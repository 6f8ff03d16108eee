#pragma once

// The Embed Artwork (Advanced) wizard: which sources to try in which order,
// the target size for the size rules, and what to do with downloaded and
// already embedded artwork. It changes nothing but the source order and the
// remembered target size; the run comes after it.

#include "artwork/ArtworkSource.h"
#include "artwork/WizardForm.h"

#include <array>
#include <functional>

class QButtonGroup;
class QLabel;
class QListWidget;
class QRadioButton;

namespace artwork {

class FormWizardEmbedArtwork : public WizardForm {
    Q_OBJECT
public:
    // listMainStatus answers the main window's ListMainStatus; order is the
    // program's source order, filled at Go!.
    FormWizardEmbedArtwork(std::function<int()> listMainStatus, SourceOrder& order,
                           QWidget* parent = nullptr);

    // The opener's variables.
    bool DeleteDownloaded = false;
    int32_t ExistingEmbed = 1;
    int32_t TargetPixels = 320;

    void Init();

    QLabel* LabStep1Status = nullptr;
    QLabel* LabStep1NextStep = nullptr;
    QListWidget* ListUse = nullptr;
    QListWidget* ListAvailable = nullptr;
    QListWidget* ListTargetSizes = nullptr;
    QLabel* LabListTargetSizes = nullptr;
    QPushButton* ButAdd = nullptr;
    QPushButton* ButRemove = nullptr;
    QPushButton* ButMoveUp = nullptr;
    QPushButton* ButMoveDown = nullptr;
    // index 0 "Do not delete", 1 "Delete if necessary"
    std::array<QRadioButton*, 2> OptDeleteDownloaded{};
    // index 1..3 as ExistingEmbed; [0] unused
    std::array<QRadioButton*, 4> OptExistingEmbedded{};

protected:
    bool nextAllowed() const override;
    void updateStepControls() override;
    QWidget* focusForStep(int step) override;
    void finishChoices() override;

private:
    void buildWelcome();
    void buildOptions();
    void buildReady();
    void updateListButtons();
    void moveEntry(QListWidget* from, QListWidget* to);
    void shiftSelected(int by);
    bool listUseHasClosest() const;

    std::function<int()> m_listMainStatus;
    SourceOrder& m_order;
    bool m_step1AllowsNext = false;
};

} // namespace artwork
