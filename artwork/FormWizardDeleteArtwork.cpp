#include "artwork/FormWizardDeleteArtwork.h"

#include "artwork/TargetSizes.h"
#include "artwork/WizardControls.h"
#include "artwork/WizardTexts.h"
#include "catalogue/TabCounts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace artwork {

FormWizardDeleteArtwork::FormWizardDeleteArtwork(
    std::function<int()> listMainStatus, std::function<int()> currentTab,
    std::function<void(const QString&)> criticalMessage, QWidget* parent)
    : WizardForm(u"Delete Artwork Wizard"_s, u"<  &Back"_s, parent),
      m_listMainStatus(std::move(listMainStatus)), m_currentTab(std::move(currentTab)),
      m_criticalMessage(std::move(criticalMessage)) {
    setObjectName(u"FormWizardDeleteArtwork"_s);
    buildWelcome();
    buildOptions();
    buildReady();
    setFixedSize(sizeHint().expandedTo({560, 0}));
}

void FormWizardDeleteArtwork::buildWelcome() {
    QWidget* page = addStep();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        WrappedLabel(u"This wizard will delete existing artwork from songs."_s, u"Label1"_s, page));
    LabSelCount = WrappedLabel({}, u"LabSelCount"_s, page);
    layout->addWidget(LabSelCount);
    layout->addSpacing(12);
    LabStep1Status = WrappedLabel({}, u"LabStep1Status"_s, page);
    LabStep1NextStep = WrappedLabel({}, u"LabStep1NextStep"_s, page);
    layout->addWidget(LabStep1Status);
    layout->addWidget(LabStep1NextStep);
    layout->addStretch(1);
}

void FormWizardDeleteArtwork::buildOptions() {
    QWidget* page = addStep();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        WrappedLabel(u"Choose the options for deleting existing artwork."_s, u"Label2"_s, page));

    auto* downloaded = new QGroupBox(u"Artwork downloaded by iTunes"_s, page);
    downloaded->setObjectName(u"FrameDownloaded"_s);
    auto* downloadedLayout = new QVBoxLayout(downloaded);
    CheckDeleteDownloaded = new QCheckBox(u"Delete artwork &downloaded by iTunes"_s, downloaded);
    CheckDeleteDownloaded->setObjectName(u"CheckDeleteDownloaded"_s);
    downloadedLayout->addWidget(CheckDeleteDownloaded);
    downloadedLayout->addWidget(WrappedLabel(
        u"A song can have embedded artwork or downloaded artwork, but not both. iTunes will only "
        u"download artwork if a song has no existing artwork."_s,
        u"Label4"_s, downloaded));
    layout->addWidget(downloaded);

    auto* embedded = new QGroupBox(u"Embedded artwork"_s, page);
    embedded->setObjectName(u"FrameEmbedded"_s);
    auto* grid = new QGridLayout(embedded);
    CheckDeleteEmbedded = new QCheckBox(u"Delete &embedded artwork"_s, embedded);
    CheckDeleteEmbedded->setObjectName(u"CheckDeleteEmbedded"_s);
    grid->addWidget(CheckDeleteEmbedded, 0, 0, 1, 2);
    LabListSingleDelete = WrappedLabel(
        u"If a song contains exactly &one embedded piece of artwork, should it be deleted?"_s,
        u"LabListSingleDelete"_s, embedded);
    ListSingleDelete = SingleChoiceList(u"ListSingleDelete"_s, embedded);
    ListSingleDelete->addItems(SingleDeleteEntries());
    ListSingleDelete->setMaximumHeight(80);
    LabListSingleDelete->setBuddy(ListSingleDelete);
    LabListMultipleDelete = WrappedLabel(
        u"If a song contains &more than one embedded image, which one(s) should be deleted?"_s,
        u"LabListMultipleDelete"_s, embedded);
    ListMultipleDelete = SingleChoiceList(u"ListMultipleDelete"_s, embedded);
    ListMultipleDelete->addItems(MultipleDeleteEntries());
    ListMultipleDelete->setMaximumHeight(130);
    LabListMultipleDelete->setBuddy(ListMultipleDelete);
    LabListTargetSizes = new QLabel(u"&Target size:"_s, embedded);
    LabListTargetSizes->setObjectName(u"LabListTargetSizes"_s);
    ListTargetSizes = SingleChoiceList(u"ListTargetSizes"_s, embedded);
    ListTargetSizes->addItems(TargetSizeEntries());
    ListTargetSizes->setMaximumHeight(130);
    LabListTargetSizes->setBuddy(ListTargetSizes);
    grid->addWidget(LabListSingleDelete, 1, 0);
    grid->addWidget(ListSingleDelete, 2, 0);
    grid->addWidget(LabListMultipleDelete, 3, 0);
    grid->addWidget(ListMultipleDelete, 4, 0);
    grid->addWidget(LabListTargetSizes, 3, 1);
    grid->addWidget(ListTargetSizes, 4, 1);
    grid->addWidget(WrappedLabel(u"Note: the target size is the largest size that artwork can be "
                                 u"displayed, which may not be the same as the screen "
                                 u"resolution."_s,
                                 u"Label9"_s, embedded),
                    5, 0, 1, 2);
    layout->addWidget(embedded);

    for (QCheckBox* box : {CheckDeleteDownloaded, CheckDeleteEmbedded})
        connect(box, &QCheckBox::toggled, this, [this] { UpdateUi(); });
    for (QListWidget* list : {ListSingleDelete, ListMultipleDelete, ListTargetSizes}) {
        FitWidestEntry(list);
        connect(list, &QListWidget::itemSelectionChanged, this, [this] { UpdateUi(); });
    }
}

void FormWizardDeleteArtwork::buildReady() {
    QWidget* page = addStep();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        WrappedLabel(u"Quillmoth is ready to delete existing cover artwork. Click the "
                     u"Go! button below to complete the wizard and begin deleting "
                     u"artwork as specified."_s,
                     u"Label3"_s, page));
    CheckMakeBackups = new QCheckBox(u"Save a backup copy of each deleted image"_s, page);
    CheckMakeBackups->setObjectName(u"CheckMakeBackups"_s);
    // No backup is written: the box shows what the run will not do.
    CheckMakeBackups->setEnabled(false);
    layout->addWidget(CheckMakeBackups);
    layout->addWidget(WrappedLabel(u"(Backups are saved in the same folder as the song file)"_s,
                                   u"Label5"_s, page));
    layout->addStretch(1);
}

void FormWizardDeleteArtwork::Init() {
    LabSelCount->setText(SelCountText(SelCount));
    CheckDeleteDownloaded->setChecked(Choices.DeleteDownloaded);
    CheckDeleteEmbedded->setChecked(Choices.DeleteEmbedded);
    CheckMakeBackups->setChecked(Choices.MakeBackups);
    if (Choices.SingleDelete < 1 || Choices.SingleDelete > 4)
        Choices.SingleDelete = SingleNever;
    if (Choices.MultipleDelete < 1 || Choices.MultipleDelete > 13)
        Choices.MultipleDelete = MultipleAllButClosest;
    SelectPosition(ListSingleDelete, Choices.SingleDelete);
    SelectPosition(ListMultipleDelete, Choices.MultipleDelete);
    SelectPosition(ListTargetSizes, TargetEntryIndex(TargetSizeEntries(), LoadTargetSize()) + 1);
    ShowStep(1);
}

bool FormWizardDeleteArtwork::targetsApply() const {
    const int single = SelectedPosition(ListSingleDelete);
    const int multiple = SelectedPosition(ListMultipleDelete);
    return multiple == MultipleSmallerThanTarget || multiple == MultipleLargerThanTarget ||
           multiple == MultipleAllButClosest || single == SingleIfSmaller ||
           single == SingleIfLarger;
}

void FormWizardDeleteArtwork::updateStepControls() {
    if (currentStep() == 1) {
        LabSelCount->setVisible(!m_currentTab || m_currentTab() != catalogue::TAB_INELIGIBLE);
        const StepStatus status = DeleteWizardStatus(m_listMainStatus ? m_listMainStatus() : 0);
        if (status.unknown) {
            if (m_criticalMessage)
                m_criticalMessage(UnknownListStatusMessage());
        } else {
            LabStep1Status->setText(status.status);
            LabStep1NextStep->setText(status.nextStep);
        }
        m_step1AllowsNext = status.nextEnabled;
    }
    const bool embedded = CheckDeleteEmbedded->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{
             LabListSingleDelete, ListSingleDelete, LabListMultipleDelete, ListMultipleDelete})
        control->setEnabled(embedded);
    const bool targets = embedded && targetsApply();
    LabListTargetSizes->setEnabled(targets);
    ListTargetSizes->setEnabled(targets);
}

bool FormWizardDeleteArtwork::nextAllowed() const {
    switch (currentStep()) {
    case 1:
        return m_step1AllowsNext;
    case 2:
        return (CheckDeleteDownloaded->isChecked() || CheckDeleteEmbedded->isChecked()) &&
               (!CheckDeleteEmbedded->isChecked() || !ListTargetSizes->isEnabled() ||
                HasSelection(ListTargetSizes));
    default:
        return true;
    }
}

void FormWizardDeleteArtwork::finishChoices() {
    Choices.DeleteDownloaded = CheckDeleteDownloaded->isChecked();
    Choices.DeleteEmbedded = CheckDeleteEmbedded->isChecked();
    Choices.SingleDelete = SelectedPosition(ListSingleDelete);
    Choices.MultipleDelete = SelectedPosition(ListMultipleDelete);
    QListWidgetItem* target = ListTargetSizes->selectedItems().value(0);
    Choices.TargetXYProd =
        target && ListTargetSizes->isEnabled() ? TargetAreaOfEntry(target->text()) : 0;
    Choices.MakeBackups = CheckMakeBackups->isChecked();
    if (target)
        SaveTargetSize(target->text());
}

} // namespace artwork
