#include "artwork/FormWizardEmbedArtwork.h"

#include "artwork/TargetSizes.h"
#include "artwork/WizardControls.h"
#include "artwork/WizardTexts.h"
#include "mainwindow/Uc3dLine.h"
#include "support/OptionGroupTabStop.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

constexpr int SourceRole = Qt::UserRole;

void addSource(QListWidget* list, int32_t source) {
    auto* item = new QListWidgetItem(ArtworkSourceLabel(source), list);
    item->setData(SourceRole, source);
}

} // namespace

FormWizardEmbedArtwork::FormWizardEmbedArtwork(std::function<int()> listMainStatus,
                                               SourceOrder& order, QWidget* parent)
    : WizardForm(u"Embed Artwork (Advanced) Wizard"_s, u"< &Back"_s, parent),
      m_listMainStatus(std::move(listMainStatus)), m_order(order) {
    setObjectName(u"FormWizardEmbedArtwork"_s);
    buildWelcome();
    buildOptions();
    buildReady();
    setFixedSize(sizeHint().expandedTo({600, 0}));
}

void FormWizardEmbedArtwork::buildWelcome() {
    QWidget* page = addStep();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(WrappedLabel(u"This wizard will embed album cover art into any song on the "
                                   u"Eligible Songs tab which has a check mark."_s,
                                   u"Label8"_s, page));
    layout->addWidget(WrappedLabel(
        u"This wizard has many advanced options. If you only want to embed artwork which has "
        u"been downloaded by iTunes, then click Cancel to exit this wizard, and then run the "
        u"Embed Downloaded Artwork Wizard instead."_s,
        u"Label1"_s, page));
    layout->addSpacing(12);
    LabStep1Status = WrappedLabel({}, u"LabStep1Status"_s, page);
    LabStep1NextStep = WrappedLabel({}, u"LabStep1NextStep"_s, page);
    layout->addWidget(LabStep1Status);
    layout->addWidget(LabStep1NextStep);
    layout->addStretch(1);
}

void FormWizardEmbedArtwork::buildOptions() {
    QWidget* page = addStep();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(WrappedLabel(u"There can be several sources of artwork available to be "
                                   u"embedded. Please choose which one should be used."_s,
                                   u"Label2"_s, page));

    auto* sources = new QGridLayout;
    auto* label4 = new QLabel(u"&Choose artwork (1 only) in this order:"_s, page);
    label4->setObjectName(u"Label4"_s);
    auto* label5 = new QLabel(u"Do not use these &sources:"_s, page);
    label5->setObjectName(u"Label5"_s);
    ListUse = SingleChoiceList(u"ListUse"_s, page);
    ListAvailable = SingleChoiceList(u"ListAvailable"_s, page);
    label4->setBuddy(ListUse);
    label5->setBuddy(ListAvailable);
    new SelectOnFocus(ListUse);
    new SelectOnFocus(ListAvailable);
    ButAdd = PlainButton(u"<- &Add"_s, u"ButAdd"_s, page);
    ButRemove = PlainButton(u"&Remove ->"_s, u"ButRemove"_s, page);
    ButMoveUp = PlainButton(u"Move &Up"_s, u"ButMoveUp"_s, page);
    ButMoveDown = PlainButton(u"Move &Down"_s, u"ButMoveDown"_s, page);
    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(ButAdd);
    middle->addWidget(ButRemove);
    middle->addStretch(1);
    auto* moves = new QHBoxLayout;
    moves->addWidget(ButMoveUp);
    moves->addWidget(ButMoveDown);
    moves->addStretch(1);
    sources->addWidget(label4, 0, 0);
    sources->addWidget(label5, 0, 2);
    sources->addWidget(ListUse, 1, 0);
    sources->addLayout(middle, 1, 1);
    sources->addWidget(ListAvailable, 1, 2);
    sources->addLayout(moves, 2, 0);
    ListUse->setMinimumHeight(150);
    layout->addLayout(sources);

    auto* line2 = new mainwindow::Uc3dLine(page);
    line2->setObjectName(u"Uc3dLine2"_s);
    layout->addWidget(line2);
    auto* targets = new QGridLayout;
    LabListTargetSizes = new QLabel(u"&Target size:"_s, page);
    LabListTargetSizes->setObjectName(u"LabListTargetSizes"_s);
    ListTargetSizes = SingleChoiceList(u"ListTargetSizes"_s, page);
    ListTargetSizes->addItems(TargetSizeEntries());
    ListTargetSizes->setMaximumHeight(90);
    LabListTargetSizes->setBuddy(ListTargetSizes);
    targets->addWidget(LabListTargetSizes, 0, 0, Qt::AlignTop);
    targets->addWidget(ListTargetSizes, 0, 1);
    targets->addWidget(WrappedLabel(u"Note: the target size is the largest size that artwork "
                                    u"can be displayed, which may not be the same as the screen "
                                    u"resolution."_s,
                                    u"Label9"_s, page),
                       0, 2);
    targets->setColumnStretch(1, 1);
    targets->setColumnStretch(2, 1);
    layout->addLayout(targets);

    auto* line3 = new mainwindow::Uc3dLine(page);
    line3->setObjectName(u"Uc3dLine3"_s);
    layout->addWidget(line3);
    auto* label6 = WrappedLabel(u"&What if a song file already has artwork downloaded from "
                                u"iTunes? (Cannot also have embedded artwork.)"_s,
                                u"Label6"_s, page);
    layout->addWidget(label6);
    auto* downloaded = new QButtonGroup(page);
    const std::array<QString, 2> downloadedCaptions{
        u"D&o not delete or replace the downloaded artwork (no artwork will be embedded)"_s,
        u"D&elete the downloaded artwork if necessary"_s};
    for (int i = 0; i < 2; ++i) {
        OptDeleteDownloaded[size_t(i)] = new QRadioButton(downloadedCaptions[size_t(i)], page);
        OptDeleteDownloaded[size_t(i)]->setObjectName(u"OptDeleteDownloaded%1"_s.arg(i));
        downloaded->addButton(OptDeleteDownloaded[size_t(i)], i);
        layout->addWidget(OptDeleteDownloaded[size_t(i)]);
    }
    label6->setBuddy(OptDeleteDownloaded[0]);
    new support::OptionGroupTabStop(downloaded);

    auto* label7 = WrappedLabel(u"What &if a song file already has images embedded in it? (Only "
                                u"the first image is displayed when playing on an iPod.)"_s,
                                u"Label7"_s, page);
    layout->addWidget(label7);
    auto* picture1 = new QWidget(page);
    picture1->setObjectName(u"Picture1"_s);
    auto* existingLayout = new QVBoxLayout(picture1);
    existingLayout->setContentsMargins(0, 0, 0, 0);
    auto* existing = new QButtonGroup(page);
    const std::array<QString, 3> existingCaptions{
        u"&Keep the existing image(s) -- do not embed the new image"_s,
        u"Delete all e&xisting embedded image(s) before embedding the new image"_s,
        u"Add the new i&mage after the existing image(s)"_s};
    for (int i = 1; i <= 3; ++i) {
        OptExistingEmbedded[size_t(i)] =
            new QRadioButton(existingCaptions[size_t(i - 1)], picture1);
        OptExistingEmbedded[size_t(i)]->setObjectName(u"OptExistingEmbedded%1"_s.arg(i));
        existing->addButton(OptExistingEmbedded[size_t(i)], i);
        existingLayout->addWidget(OptExistingEmbedded[size_t(i)]);
    }
    label7->setBuddy(OptExistingEmbedded[1]);
    new support::OptionGroupTabStop(existing);
    layout->addWidget(picture1);
    connect(existing, &QButtonGroup::idClicked, this, [this](int id) { ExistingEmbed = id; });

    connect(ListUse, &QListWidget::itemSelectionChanged, this, [this] { updateButtons(); });
    connect(ListAvailable, &QListWidget::itemSelectionChanged, this, [this] { updateButtons(); });
    connect(ListTargetSizes, &QListWidget::itemSelectionChanged, this, [this] { updateButtons(); });
    connect(ButAdd, &QPushButton::clicked, this, [this] { moveEntry(ListAvailable, ListUse); });
    connect(ButRemove, &QPushButton::clicked, this, [this] { moveEntry(ListUse, ListAvailable); });
    connect(ButMoveUp, &QPushButton::clicked, this, [this] { shiftSelected(-1); });
    connect(ButMoveDown, &QPushButton::clicked, this, [this] { shiftSelected(1); });
    connect(ListAvailable, &QListWidget::itemDoubleClicked, this, [this] {
        if (ButAdd->isEnabled())
            moveEntry(ListAvailable, ListUse);
    });
    connect(ListUse, &QListWidget::itemDoubleClicked, this, [this] {
        if (ButRemove->isEnabled())
            moveEntry(ListUse, ListAvailable);
    });
}

void FormWizardEmbedArtwork::buildReady() {
    QWidget* page = addStep();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(WrappedLabel(
        u"The wizard has collected all of the necessary information. Click Go! below to begin "
        u"embedding album cover art, or click Cancel to exit the wizard."_s,
        u"Label3"_s, page));
    layout->addStretch(1);
}

void FormWizardEmbedArtwork::Init() {
    OptDeleteDownloaded[DeleteDownloaded ? 1 : 0]->setChecked(true);
    if (ExistingEmbed >= 1 && ExistingEmbed <= 3)
        OptExistingEmbedded[size_t(ExistingEmbed)]->setChecked(true);

    ListTargetSizes->clearSelection();
    ListTargetSizes->setCurrentRow(-1);
    const int stored = TargetEntryIndex(TargetSizeEntries(), LoadTargetSize());
    if (stored >= 0)
        ListTargetSizes->setCurrentRow(stored);

    // Every opening starts with every source in use, in the default order.
    ListAvailable->clear();
    ListUse->clear();
    for (int32_t source = 1; source <= SourceCount; ++source)
        addSource(ListUse, source);
    ShowStep(1);
}

bool FormWizardEmbedArtwork::listUseHasClosest() const {
    for (int row = 0; row < ListUse->count(); ++row)
        if (ListUse->item(row)->data(SourceRole).toInt() == SourceClosest)
            return true;
    return false;
}

void FormWizardEmbedArtwork::updateListButtons() {
    const int row = HasSelection(ListUse) ? ListUse->currentRow() : -1;
    ButAdd->setEnabled(HasSelection(ListAvailable));
    ButRemove->setEnabled(row >= 0);
    ButMoveUp->setEnabled(row > 0);
    ButMoveDown->setEnabled(row >= 0 && row < ListUse->count() - 1);
}

void FormWizardEmbedArtwork::updateStepControls() {
    if (currentStep() == 1) {
        const StepStatus status = EmbedWizardStatus(m_listMainStatus ? m_listMainStatus() : 0);
        LabStep1Status->setText(status.status);
        LabStep1NextStep->setText(status.nextStep);
        m_step1AllowsNext = status.nextEnabled;
    }
    const bool targets = listUseHasClosest();
    LabListTargetSizes->setEnabled(targets);
    ListTargetSizes->setEnabled(targets);
    updateListButtons();
}

bool FormWizardEmbedArtwork::nextAllowed() const {
    switch (currentStep()) {
    case 1:
        return m_step1AllowsNext;
    case 2:
        return ListUse->count() > 0 &&
               (!ListTargetSizes->isEnabled() || HasSelection(ListTargetSizes));
    default:
        return true;
    }
}

QWidget* FormWizardEmbedArtwork::focusForStep(int step) {
    if (step == 2)
        return ListUse;
    if (step == 3)
        return ButNext();
    return nullptr;
}

void FormWizardEmbedArtwork::moveEntry(QListWidget* from, QListWidget* to) {
    QListWidgetItem* item = from->selectedItems().value(0);
    if (!item)
        return;
    to->addItem(from->takeItem(from->row(item)));
    from->clearSelection();
    updateButtons();
}

void FormWizardEmbedArtwork::shiftSelected(int by) {
    const int row = HasSelection(ListUse) ? ListUse->currentRow() : -1;
    const int target = row + by;
    if (row < 0 || target < 0 || target >= ListUse->count())
        return;
    QListWidgetItem* item = ListUse->takeItem(row);
    ListUse->insertItem(target, item);
    ListUse->setCurrentItem(item);
    item->setSelected(true);
    updateButtons();
}

void FormWizardEmbedArtwork::finishChoices() {
    QList<int32_t> sources;
    for (int row = 0; row < ListUse->count(); ++row)
        sources.append(ListUse->item(row)->data(SourceRole).toInt());
    m_order.assign(sources);
    if (QListWidgetItem* entry = ListTargetSizes->selectedItems().value(0)) {
        SaveTargetSize(entry->text());
        const int32_t side = TargetSideOfEntry(entry->text());
        if (side > 0)
            TargetPixels = side;
    }
    DeleteDownloaded = OptDeleteDownloaded[1]->isChecked();
}

} // namespace artwork
