#pragma once

// The folder thumbnail wizard: the name of the file to write into each
// album folder, whether to overwrite, the hidden and system marks, and
// which image of a song with several to use.

#include "artwork/WizardForm.h"

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace artwork {

class FormWizardCreateFolderJpg : public WizardForm {
    Q_OBJECT
public:
    FormWizardCreateFolderJpg(std::function<int()> listMainStatus,
                              std::function<void(const QString&)> criticalMessage,
                              QWidget* parent = nullptr);

    // The opener's variables.
    QString BaseExt = QStringLiteral("Folder.JPG");
    bool HiddenSystem = true;
    bool DeleteExisting = false;
    int32_t ThumbnailMultipleImages = 5;
    int16_t TargetPixels = 256;

    void Init();
    void UpdateUi() { updateButtons(); }

    // The preview entries and their pixel sizes.
    static const QStringList& PreviewEntries();
    static int PreviewPixels(int index);

    QLabel* LabStep1Status = nullptr;
    QLabel* LabStep1NextStep = nullptr;
    QLineEdit* EditDifferentBaseExt = nullptr;
    std::array<QRadioButton*, 2> OptDeleteExisting{};
    QCheckBox* CheckHiddenSystem = nullptr;
    std::array<QRadioButton*, 6> OptThumbnailMultiple{}; // 1..5; [0] unused
    QLineEdit* EditTargetPixels = nullptr;
    QLabel* LabPixels = nullptr;
    QListWidget* ListPreviews = nullptr;
    QLabel* ImagePreviewMain = nullptr;

protected:
    bool nextAllowed() const override;
    void updateStepControls() override;
    QWidget* focusForStep(int step) override;
    void finishChoices() override;

private:
    void buildWelcome();
    void buildOptions();
    void buildReady();
    void targetPixelsEdited();
    void previewChosen();

    std::function<int()> m_listMainStatus;
    std::function<void(const QString&)> m_criticalMessage;
    bool m_initialising = false;
    bool m_step1AllowsNext = false;
};

// The text's number as a 16-bit value: 0 when it is none or does not fit.
int16_t SixteenBitValue(const QString& text);

} // namespace artwork
