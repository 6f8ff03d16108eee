#pragma once

// The two one-page wizards of downloaded artwork: the download playlist
// and the embedding of downloaded art. Each says what it will do and
// whether the song list allows it, and ends with Go! or Cancel.

#include "artwork/WizardForm.h"
#include "artwork/WizardTexts.h"

#include <array>
#include <functional>

class QLabel;
class QRadioButton;

namespace artwork {

class OnePageWizard : public WizardForm {
    Q_OBJECT
public:
    void Init();

    QLabel* LabStep1Status = nullptr;
    QLabel* LabStep1NextStep = nullptr;

protected:
    OnePageWizard(const QString& title, std::function<int()> listMainStatus,
                  std::function<StepStatus(int)> statusTexts, QWidget* parent);
    // The page's own texts go above the status labels.
    QWidget* page() const { return m_page; }
    void finishPage();

    bool nextAllowed() const override { return m_allowsGo; }
    void updateStepControls() override;

private:
    std::function<int()> m_listMainStatus;
    std::function<StepStatus(int)> m_statusTexts;
    QWidget* m_page = nullptr;
    bool m_allowsGo = false;
};

class FormWizardCreatePlaylist : public OnePageWizard {
    Q_OBJECT
public:
    explicit FormWizardCreatePlaylist(std::function<int()> listMainStatus,
                                      QWidget* parent = nullptr);
    QLabel* LabWithPlaylistName = nullptr;
};

class FormWizardEmbedDownloadedArtwork : public OnePageWizard {
    Q_OBJECT
public:
    explicit FormWizardEmbedDownloadedArtwork(std::function<int()> listMainStatus,
                                              QWidget* parent = nullptr);
};

// Get Album Artwork: what will be looked up where, and the size of cover
// to fetch (the choice is remembered).
class FormWizardGetAlbumArtwork : public OnePageWizard {
    Q_OBJECT
public:
    // size: "250", "500", "1200" or "original", as the settings keep it.
    FormWizardGetAlbumArtwork(std::function<int()> listMainStatus, const QString& size,
                              QWidget* parent = nullptr);
    // The size chosen, in the same form.
    QString Size() const;

    std::array<QRadioButton*, 4> OptSize{};
};

} // namespace artwork
