#include "artwork/FormWizardCreateFolderJpg.h"

#include "artwork/TargetSizes.h"
#include "artwork/ThumbnailRun.h"
#include "artwork/ThumbnailSamples.h"
#include "artwork/WizardControls.h"
#include "artwork/WizardTexts.h"
#include "support/OptionGroupTabStop.h"
#include "support/SystemInfo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

constexpr int PreviewSide = 260;

const std::array<SampleStyle, 5> PreviewStyles{SampleStyle::ClassicThumbnail, SampleStyle::Tiles,
                                               SampleStyle::MediumIcons, SampleStyle::LargeIcons,
                                               SampleStyle::ExtraLargeIcons};

// The entry that matches how the running system shows folders.
int systemPreviewIndex() {
    return support::IsVistaOrLater() ? 4 : 0;
}

} // namespace

int16_t SixteenBitValue(const QString& text) {
    const double value = std::nearbyint(LeadingNumber(text));
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        return 0;
    return int16_t(value);
}

const QStringList& FormWizardCreateFolderJpg::PreviewEntries() {
    static const QStringList entries{u"Windows XP Thumbnails view (82 x 82)"_s,
                                     u"Windows Vista Tiles view (64 x 64)"_s,
                                     u"Windows Vista Medium Icons view (64 x 64)"_s,
                                     u"Windows Vista Large Icons view (128 x 128)"_s,
                                     u"Windows Vista Extra Large Icons view (256 x 256)"_s};
    return entries;
}

int FormWizardCreateFolderJpg::PreviewPixels(int index) {
    static const std::array<int, 5> pixels{82, 64, 64, 128, 256};
    return index >= 0 && index < 5 ? pixels[size_t(index)] : 0;
}

FormWizardCreateFolderJpg::FormWizardCreateFolderJpg(
    std::function<int()> listMainStatus, std::function<void(const QString&)> criticalMessage,
    QWidget* parent)
    : WizardForm(u"Create Windows Explorer Folder Thumbnails Wizard"_s, u"<  &Back"_s, parent),
      m_listMainStatus(std::move(listMainStatus)), m_criticalMessage(std::move(criticalMessage)) {
    setObjectName(u"FormWizardCreateFolderJpg"_s);
    buildWelcome();
    buildOptions();
    buildReady();
    setFixedSize(sizeHint().expandedTo({640, 0}));
}

void FormWizardCreateFolderJpg::buildWelcome() {
    QWidget* page = addStep();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(WrappedLabel(
        u"Windows Explorer can superimpose a thumbnail of each album's cover art on the album's "
        u"folder icon, as shown below. This wizard will create the necessary file (usually named "
        u"Folder.JPG) in each album folder."_s,
        u"Label1"_s, page));
    auto* samples = new QGridLayout;
    const auto sample = [&](const QString& caption, const QString& name, SampleStyle style,
                            int side, int column) {
        samples->addWidget(WrappedLabel(caption, name + u"Caption"_s, page), 0, column);
        auto* picture = new QLabel(page);
        picture->setObjectName(name);
        picture->setPixmap(FolderThumbnailSample(style, side));
        samples->addWidget(picture, 1, column, Qt::AlignLeft | Qt::AlignTop);
    };
    sample(u"Sample Windows XP thumbnail:"_s, u"ImgSampleXp"_s, SampleStyle::ClassicThumbnail, 82,
           0);
    sample(u"Sample Windows Vista thumbnail:"_s, u"ImgSampleVista"_s, SampleStyle::LargeIcons, 128,
           1);
    layout->addLayout(samples);
    LabStep1Status = WrappedLabel({}, u"LabStep1Status"_s, page);
    LabStep1NextStep = WrappedLabel({}, u"LabStep1NextStep"_s, page);
    layout->addWidget(LabStep1Status);
    layout->addWidget(LabStep1NextStep);
    layout->addStretch(1);
}

void FormWizardCreateFolderJpg::buildOptions() {
    QWidget* page = addStep();
    auto* columns = new QHBoxLayout(page);
    auto* layout = new QVBoxLayout;
    columns->addLayout(layout, 3);
    layout->addWidget(
        WrappedLabel(u"Choose the options for creating thumbnail files:"_s, u"Label2"_s, page));

    auto* nameRow = new QHBoxLayout;
    auto* nameLabel = new QLabel(u"Name of file &to create:"_s, page);
    nameLabel->setObjectName(u"Label3"_s);
    EditDifferentBaseExt = new QLineEdit(page);
    EditDifferentBaseExt->setObjectName(u"EditDifferentBaseExt"_s);
    nameLabel->setBuddy(EditDifferentBaseExt);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(EditDifferentBaseExt, 1);
    nameRow->addWidget(new QLabel(u"(Default = Folder.JPG)"_s, page));
    layout->addLayout(nameRow);

    auto* existingLabel = WrappedLabel(
        u"&What if an album folder already contains a file with that name?"_s, u"Label4"_s, page);
    layout->addWidget(existingLabel);
    auto* existing = new QButtonGroup(page);
    const std::array<QString, 2> existingCaptions{
        u"&Do nothing (do not overwrite any existing file)"_s, u"&Overwrite the existing file"_s};
    for (int i = 0; i < 2; ++i) {
        OptDeleteExisting[size_t(i)] = new QRadioButton(existingCaptions[size_t(i)], page);
        OptDeleteExisting[size_t(i)]->setObjectName(u"OptDeleteExisting%1"_s.arg(i));
        existing->addButton(OptDeleteExisting[size_t(i)], i);
        layout->addWidget(OptDeleteExisting[size_t(i)]);
    }
    existingLabel->setBuddy(OptDeleteExisting[0]);
    new support::OptionGroupTabStop(existing);

    CheckHiddenSystem =
        new QCheckBox(u"&Mark artwork files as \"System\" and \"Hidden\" (recommended)"_s, page);
    CheckHiddenSystem->setObjectName(u"CheckHiddenSystem"_s);
    layout->addWidget(CheckHiddenSystem);

    auto* multipleLabel =
        WrappedLabel(u"If a song file &contains multiple images, which one should be used?"_s,
                     u"Label5"_s, page);
    layout->addWidget(multipleLabel);
    auto* multiple = new QButtonGroup(page);
    const std::array<QString, 5> multipleCaptions{
        u"Use the &first image in the file"_s, u"Use the &last image in the file"_s,
        u"Use the &smallest image"_s, u"Use the largest &image"_s,
        u"&Use the image with dimensions closest to:"_s};
    for (int i = 1; i <= 5; ++i) {
        OptThumbnailMultiple[size_t(i)] = new QRadioButton(multipleCaptions[size_t(i - 1)], page);
        OptThumbnailMultiple[size_t(i)]->setObjectName(u"OptThumbnailMultiple%1"_s.arg(i));
        multiple->addButton(OptThumbnailMultiple[size_t(i)], i);
        if (i < 5) {
            layout->addWidget(OptThumbnailMultiple[size_t(i)]);
            continue;
        }
        auto* closest = new QHBoxLayout;
        closest->addWidget(OptThumbnailMultiple[5]);
        EditTargetPixels = new QLineEdit(page);
        EditTargetPixels->setObjectName(u"EditTargetPixels"_s);
        EditTargetPixels->setMaximumWidth(56);
        LabPixels = new QLabel(page);
        LabPixels->setObjectName(u"LabPixels"_s);
        closest->addWidget(EditTargetPixels);
        closest->addWidget(LabPixels);
        closest->addStretch(1);
        layout->addLayout(closest);
    }
    multipleLabel->setBuddy(OptThumbnailMultiple[1]);
    new support::OptionGroupTabStop(multiple);
    layout->addStretch(1);

    auto* previews = new QVBoxLayout;
    columns->addLayout(previews, 2);
    auto* previewLabel = new QLabel(u"&Preview sample thumbnail images:"_s, page);
    previewLabel->setObjectName(u"Label6"_s);
    ListPreviews = SingleChoiceList(u"ListPreviews"_s, page);
    ListPreviews->addItems(PreviewEntries());
    ListPreviews->setMaximumHeight(100);
    FitWidestEntry(ListPreviews);
    previewLabel->setBuddy(ListPreviews);
    ImagePreviewMain = new QLabel(page);
    ImagePreviewMain->setObjectName(u"ImagePreviewMain"_s);
    ImagePreviewMain->setFixedSize(PreviewSide, PreviewSide);
    ImagePreviewMain->setAlignment(Qt::AlignCenter);
    previews->addWidget(previewLabel);
    previews->addWidget(ListPreviews);
    previews->addWidget(ImagePreviewMain, 0, Qt::AlignHCenter);
    previews->addStretch(1);

    connect(EditTargetPixels, &QLineEdit::textChanged, this,
            &FormWizardCreateFolderJpg::targetPixelsEdited);
    connect(multiple, &QButtonGroup::idClicked, this, [this](int id) {
        ThumbnailMultipleImages = id;
        if (!m_initialising)
            UpdateUi();
    });
    connect(existing, &QButtonGroup::idClicked, this, [this] {
        if (!m_initialising)
            UpdateUi();
    });
    connect(EditDifferentBaseExt, &QLineEdit::textChanged, this, [this] {
        if (currentStep() == 2)
            ButNext()->setEnabled(nextAllowed());
    });
    connect(ListPreviews, &QListWidget::itemSelectionChanged, this,
            &FormWizardCreateFolderJpg::previewChosen);
}

void FormWizardCreateFolderJpg::buildReady() {
    QWidget* page = addStep();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(WrappedLabel(u"Quillmoth is ready to begin creating thumbnail files. Click "
                                   u"the Go! button below to complete the wizard."_s,
                                   u"Label7"_s, page));
    layout->addStretch(1);
}

void FormWizardCreateFolderJpg::Init() {
    m_initialising = true;
    EditDifferentBaseExt->setText(BaseExt);
    CheckHiddenSystem->setChecked(HiddenSystem);
    OptDeleteExisting[DeleteExisting ? 1 : 0]->setChecked(true);
    if (ThumbnailMultipleImages >= 1 && ThumbnailMultipleImages <= 5)
        OptThumbnailMultiple[size_t(ThumbnailMultipleImages)]->setChecked(true);
    EditTargetPixels->setText(QString::number(TargetPixels));
    // The entry for how this system shows folders: its size is the one the
    // opener chose for this system.
    SelectPosition(ListPreviews, systemPreviewIndex() + 1);
    UpdateUi();
    ShowStep(1);
    m_initialising = false;
}

void FormWizardCreateFolderJpg::targetPixelsEdited() {
    const int16_t value = SixteenBitValue(EditTargetPixels->text());
    TargetPixels = int16_t(std::clamp<int>(value, 0, 256));
    LabPixels->setText(u"x "_s + QString::number(TargetPixels) + u" pixels"_s);
    if (!m_initialising)
        UpdateUi();
}

void FormWizardCreateFolderJpg::previewChosen() {
    const int index = SelectedPosition(ListPreviews) - 1;
    if (index < 0)
        return;
    ImagePreviewMain->setPixmap(
        FolderThumbnailSample(PreviewStyles[size_t(index)], PreviewPixels(index)));
    EditTargetPixels->setText(QString::number(PreviewPixels(index)));
}

void FormWizardCreateFolderJpg::updateStepControls() {
    if (currentStep() == 1) {
        const StepStatus status = ThumbnailWizardStatus(m_listMainStatus ? m_listMainStatus() : 0);
        if (status.unknown) {
            if (m_criticalMessage)
                m_criticalMessage(UnknownListStatusMessage());
        } else {
            LabStep1Status->setText(status.status);
            LabStep1NextStep->setText(status.nextStep);
        }
        m_step1AllowsNext = status.nextEnabled;
    }
    const bool closest = ThumbnailMultipleImages == ThumbnailClosest;
    EditTargetPixels->setEnabled(closest);
    LabPixels->setEnabled(closest);
}

bool FormWizardCreateFolderJpg::nextAllowed() const {
    switch (currentStep()) {
    case 1:
        return m_step1AllowsNext;
    case 2: {
        const bool optionChosen =
            OptDeleteExisting[0]->isChecked() || OptDeleteExisting[1]->isChecked();
        const bool sizeRight = ThumbnailMultipleImages != ThumbnailClosest ||
                               (TargetPixels >= 1 && TargetPixels <= 256 &&
                                double(TargetPixels) == LeadingNumber(EditTargetPixels->text()));
        return optionChosen && IsValidFileName(EditDifferentBaseExt->text()) && sizeRight;
    }
    default:
        return true;
    }
}

QWidget* FormWizardCreateFolderJpg::focusForStep(int step) {
    if (step == 2)
        return OptDeleteExisting[1]->isChecked() ? OptDeleteExisting[1] : OptDeleteExisting[0];
    return nullptr;
}

void FormWizardCreateFolderJpg::finishChoices() {
    BaseExt = EditDifferentBaseExt->text().trimmed();
    HiddenSystem = CheckHiddenSystem->isChecked();
    DeleteExisting = OptDeleteExisting[1]->isChecked();
}

} // namespace artwork
