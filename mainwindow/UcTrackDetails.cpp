// The panel itself and its "Song Details" page: which kinds of artwork the
// song has, and one image of the chosen kind.

#include "mainwindow/UcTrackDetails.h"

#include "catalogue/TempArtwork.h"
#include "mainwindow/ImagePreview.h"
#include "mainwindow/KindImageFile.h"
#include "mainwindow/TrackDetailsText.h"
#include "support/AppData.h"
#include "support/DesktopShell.h"
#include "support/OptionGroupTabStop.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <algorithm>
#include <array>
#include <bit>

using namespace Qt::StringLiterals;

namespace mainwindow {

namespace {

constexpr int PageSongDetails = 0;
constexpr int PageWeb = 1;
constexpr int OleDropManual = 1;
constexpr int DragEnter = 0;
constexpr int DragOver = 2;

struct KindOption {
    int kind;
    const char16_t* caption;
    int column;
    int row;
};

// Two columns of four, in bit order; the spin controls sit beside
// "Embedded" and "Other file".
constexpr KindOption KindOptions[] = {
    {catalogue::ArtKindDownloaded, u"Downloaded", 0, 0},
    {catalogue::ArtKindEmbedded, u"Embedded", 0, 1},
    {catalogue::ArtKindFolderJpg, u"Folder.JPG", 0, 2},
    {catalogue::ArtKindAlbumArtSmall, u"AlbumArtSmall", 0, 3},
    {catalogue::ArtKindWmpSmall, u"WmpSmall", 1, 0},
    {catalogue::ArtKindWmpLarge, u"WmpLarge", 1, 1},
    {catalogue::ArtKindOther, u"Other file", 1, 2},
    {catalogue::ArtKindBackup, u"Backup", 1, 3},
};
constexpr QPoint OptionsOrigin{8, 104};
constexpr int OptionPitch = 26;
constexpr int OptionHeight = 22;
constexpr int SpinGap = 4;
constexpr int ColumnGap = 12;
constexpr int MinimumSpinWidth = 48;
// The counted captions are measured with two digits, so that a spin
// control never covers its caption for up to 99 images.
constexpr int WidestMeasuredCount = 99;
constexpr int PictureLeftMinimum = 332;
constexpr int PictureTop = 8;
constexpr int PageMargin = 8;
constexpr int InfoCaptionWidth = 84;
constexpr int InfoCaptionGap = 4;
constexpr int InfoValueMinimumWidth = 160;

// The slot of a kind in the option array: its bit's position.
int KindSlot(int kind) {
    return std::countr_zero(static_cast<unsigned>(kind));
}
bool IsKind(int kind) {
    return kind > 0 && kind <= catalogue::ArtKindBackup &&
           std::has_single_bit(static_cast<unsigned>(kind));
}

QLabel* AddLabel(QWidget* page, const QString& text, const QRect& geometry, const QString& name) {
    auto* label = new QLabel(text, page);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QSpinBox* AddScroll(QWidget* page, const QString& name) {
    auto* spin = new QSpinBox(page);
    spin->setObjectName(name);
    spin->setRange(1, 1);
    spin->hide();
    return spin;
}

// Reads one text property of a track; a song that cannot be read shows
// an empty text rather than failing the panel.
QString ReadField(const musiclibrary::TrackPtr& track,
                  QString (musiclibrary::IITTrack::*field)() const) {
    try {
        return ((*track).*field)();
    } catch (const musiclibrary::LibraryError&) {
        return {};
    }
}

} // namespace

UcTrackDetails::UcTrackDetails(const catalogue::TrackCatalogue* catalogue, QWidget* parent)
    : QWidget(parent), m_catalogue(catalogue) {
    setObjectName(u"UcTrackDetails"_s);
    setFixedSize(PanelSize);
    m_clipboard = [](const QString& text) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(text);
    };
    m_openAddress = [](const QString& address) { support::ShellOpen(address); };

    m_tabMain = new QTabWidget(this);
    m_tabMain->setObjectName(u"TabMain"_s);
    m_tabMain->setGeometry(QRect(QPoint(0, 0), PanelSize));
    m_tabMain->addTab(buildSongDetailsPage(), u"Song Details"_s);
    m_tabMain->addTab(buildWebPage(), u"Web"_s);
    m_tabMain->setCurrentIndex(PageSongDetails);

    FillWebSiteList();
    setOLEDropMode(OleDropManual);
    ClearKindOptions();
    ShowImageFile(QString());
}

QWidget* UcTrackDetails::buildSongDetailsPage() {
    auto* page = new QWidget;
    page->setObjectName(u"PageSongDetails"_s);

    QLabel* label5 = AddLabel(page, u"Artwor&k available:"_s, {8, 82, 200, 20}, u"Label5"_s);
    m_optImageGroup = new QButtonGroup(page);
    for (const KindOption& option : KindOptions) {
        auto* button = new QRadioButton(QString::fromUtf16(option.caption), page);
        button->setObjectName(u"OptImage%1"_s.arg(option.kind));
        m_optImageGroup->addButton(button, option.kind);
        m_optImage[static_cast<size_t>(KindSlot(option.kind))] = button;
    }
    label5->setBuddy(OptImage(catalogue::ArtKindDownloaded));
    new support::OptionGroupTabStop(m_optImageGroup);
    connect(m_optImageGroup, &QButtonGroup::idClicked, this, &UcTrackDetails::optImageClicked);

    m_scrollEmbedded = AddScroll(page, u"ScrollEmbedded"_s);
    m_scrollOther = AddScroll(page, u"ScrollOther"_s);
    for (QSpinBox* spin : {m_scrollEmbedded, m_scrollOther}) {
        connect(spin, &QSpinBox::valueChanged, this, [this] {
            if (!m_panelUpdating)
                ShowSelectedKind();
        });
    }
    const int optionsRight = layoutKindOptions();

    // The picture stays at its place unless the user's font needs the
    // options to be wider; the song's labels use the width up to it.
    const int pictureLeft = std::max(PictureLeftMinimum, optionsRight + ColumnGap);
    const int songLabelWidth = pictureLeft - PageMargin - 68;
    AddLabel(page, u"Artist:"_s, {8, 8, 56, 20}, u"Label10"_s);
    m_labArtist = AddLabel(page, {}, {68, 8, songLabelWidth, 20}, u"LabArtist"_s);
    AddLabel(page, u"Album:"_s, {8, 32, 56, 20}, u"Label8"_s);
    m_labAlbum = AddLabel(page, {}, {68, 32, songLabelWidth, 20}, u"LabAlbum"_s);
    AddLabel(page, u"Name:"_s, {8, 56, 56, 20}, u"Label6"_s);
    m_labName = AddLabel(page, {}, {68, 56, songLabelWidth, 20}, u"LabName"_s);

    m_picSongDetails = new QLabel(page);
    m_picSongDetails->setObjectName(u"PicSongDetails"_s);
    m_picSongDetails->setGeometry(QRect(QPoint(pictureLeft, PictureTop), PictureBoxSize));
    m_picSongDetails->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picSongDetails->setBackgroundRole(QPalette::Base);
    m_picSongDetails->setAutoFillBackground(true);

    const int left = pictureLeft + PictureBoxSize.width() + 16;
    const int valueLeft = left + InfoCaptionWidth + InfoCaptionGap;
    const int valueWidth =
        std::max(InfoValueMinimumWidth, PanelSize.width() - 2 * PageMargin - valueLeft);
    AddLabel(page, u"Dimensions:"_s, {left, 8, InfoCaptionWidth, 20}, u"Label13"_s);
    m_labDimensions = AddLabel(page, {}, {valueLeft, 8, valueWidth, 20}, u"LabDimensions"_s);
    AddLabel(page, u"Image size:"_s, {left, 32, InfoCaptionWidth, 20}, u"Label15"_s);
    m_labSize = AddLabel(page, {}, {valueLeft, 32, valueWidth, 20}, u"LabSize"_s);
    AddLabel(page, u"Image path:"_s, {left, 56, InfoCaptionWidth, 20}, u"Label17"_s);
    m_labFullPath = AddLabel(page, {}, {valueLeft, 56, valueWidth, 150}, u"LabFullPath"_s);
    m_labFullPath->setWordWrap(true);
    m_labFullPath->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return page;
}

int UcTrackDetails::layoutKindOptions() {
    // Measured with the font the user has: a fixed width cut captions such
    // as "AlbumArtSmall" short. The counted captions are the widest texts
    // the Embedded and Other options take.
    const auto captionWidth = [](QRadioButton* button, const QString& widest) {
        const QString caption = button->text();
        button->setText(widest);
        const int width = button->sizeHint().width();
        button->setText(caption);
        return width;
    };
    std::array<int, 2> columnWidth{};
    for (const KindOption& option : KindOptions) {
        QString widest = QString::fromUtf16(option.caption);
        if (option.kind == catalogue::ArtKindEmbedded)
            widest = EmbeddedCaption(WidestMeasuredCount);
        else if (option.kind == catalogue::ArtKindOther)
            widest = OtherFileCaption(WidestMeasuredCount);
        int& width = columnWidth[static_cast<size_t>(option.column)];
        width = std::max(width, captionWidth(OptImage(option.kind), widest));
    }
    m_scrollEmbedded->setRange(1, WidestMeasuredCount);
    const int spinWidth = std::max(MinimumSpinWidth, m_scrollEmbedded->sizeHint().width());
    m_scrollEmbedded->setRange(1, 1);

    // Every row of a column leaves room for the spin control, so that the
    // second column starts after the first column's spin control.
    const std::array<int, 2> columnLeft = {OptionsOrigin.x(), OptionsOrigin.x() + columnWidth[0] +
                                                                  SpinGap + spinWidth + ColumnGap};
    for (const KindOption& option : KindOptions) {
        const auto column = static_cast<size_t>(option.column);
        OptImage(option.kind)
            ->setGeometry(columnLeft[column], OptionsOrigin.y() + option.row * OptionPitch,
                          columnWidth[column], OptionHeight);
    }
    const auto placeSpin = [&](QSpinBox* spin, int kind) {
        const QRect option = OptImage(kind)->geometry();
        spin->setGeometry(option.right() + 1 + SpinGap, option.top(), spinWidth, OptionHeight);
    };
    placeSpin(m_scrollEmbedded, catalogue::ArtKindEmbedded);
    placeSpin(m_scrollOther, catalogue::ArtKindOther);
    return m_scrollOther->geometry().right() + 1;
}

QRadioButton* UcTrackDetails::OptImage(int kind) const {
    return IsKind(kind) ? m_optImage[static_cast<size_t>(KindSlot(kind))] : nullptr;
}

int UcTrackDetails::DetailsTab() const {
    return m_tabMain->currentIndex();
}

void UcTrackDetails::setDetailsTab(int tab) {
    if (tab == PageSongDetails || tab == PageWeb)
        m_tabMain->setCurrentIndex(tab);
}

void UcTrackDetails::setOLEDropMode(int mode) {
    m_oleDropMode = mode;
    setAcceptDrops(mode == OleDropManual);
}

void UcTrackDetails::setTrack(const musiclibrary::TrackPtr& track) {
    m_panelUpdating = true;
    m_shownKind = 0;
    m_track = track;
    RefreshTrackDetails();
    SelectInitialKind();
    m_panelUpdating = false;
}

const catalogue::TrackRecord* UcTrackDetails::shownRecord() const {
    return m_catalogue && m_catalogue->IsFilled(m_arrIndex) ? &(*m_catalogue)[m_arrIndex] : nullptr;
}

void UcTrackDetails::RefreshTrackDetails() {
    if (!m_track) {
        m_labArtist->clear();
        m_labAlbum->clear();
        m_labName->clear();
        ClearKindOptions();
        m_butCopyFieldsNow->setEnabled(false);
    } else {
        m_labArtist->setText(ReadField(m_track, &musiclibrary::IITTrack::Artist));
        m_labAlbum->setText(ReadField(m_track, &musiclibrary::IITTrack::Album));
        m_labName->setText(ReadField(m_track, &musiclibrary::IITTrack::Name));
        EnableKindOptions();
        m_butCopyFieldsNow->setEnabled(true);
    }
    // Long texts can be read in full.
    for (QLabel* label : {m_labArtist, m_labAlbum, m_labName})
        label->setToolTip(label->text());
    ShowSelectedKind();
}

void UcTrackDetails::ClearKindOptions() {
    for (QRadioButton* button : m_optImage)
        button->setEnabled(false);
    OptImage(catalogue::ArtKindEmbedded)->setText(EmbeddedCaption(1));
    OptImage(catalogue::ArtKindOther)->setText(OtherFileCaption(1));
    m_scrollEmbedded->hide();
    m_scrollOther->hide();
}

void UcTrackDetails::EnableKindOptions() {
    const catalogue::TrackRecord* record = shownRecord();
    const catalogue::ArtTypes types = record ? record->ArtTypes : 0;
    for (const KindOption& option : KindOptions)
        OptImage(option.kind)->setEnabled((types & option.kind) != 0);

    int embedded = 1;
    if (OptImage(catalogue::ArtKindEmbedded)->isEnabled()) {
        try {
            embedded = m_track->Artwork()->Count();
        } catch (const musiclibrary::LibraryError&) {
            embedded = 1;
        }
    }
    int others = 1;
    if (OptImage(catalogue::ArtKindOther)->isEnabled())
        others = static_cast<int>(record->OtherImages.size());

    const auto setCounter = [](QRadioButton* option, QSpinBox* spin, int count,
                               const QString& caption) {
        option->setText(caption);
        spin->setMaximum(std::max(count, 1));
        spin->setValue(1);
        spin->setVisible(count >= 2);
    };
    setCounter(OptImage(catalogue::ArtKindEmbedded), m_scrollEmbedded, embedded,
               EmbeddedCaption(embedded));
    setCounter(OptImage(catalogue::ArtKindOther), m_scrollOther, others, OtherFileCaption(others));
}

void UcTrackDetails::SelectInitialKind() {
    if (m_preferredKind != 0 && OptImage(m_preferredKind)->isEnabled()) {
        selectKind(m_preferredKind);
        return;
    }
    for (const KindOption& option : KindOptions) {
        if (OptImage(option.kind)->isEnabled()) {
            selectKind(option.kind);
            return;
        }
    }
    // Nothing to choose: no button stays selected from the previous song.
    m_optImageGroup->setExclusive(false);
    for (QRadioButton* button : m_optImage)
        button->setChecked(false);
    m_optImageGroup->setExclusive(true);
    m_shownKind = 0;
    ShowSelectedKind();
}

void UcTrackDetails::selectKind(int kind) {
    OptImage(kind)->setChecked(true);
    m_shownKind = kind;
    ShowSelectedKind();
}

void UcTrackDetails::optImageClicked(int kind) {
    if (m_panelUpdating || !IsKind(kind))
        return;
    m_preferredKind = kind;
    m_shownKind = kind;
    ShowSelectedKind();
}

void UcTrackDetails::ShowSelectedKind() {
    if (!m_track || m_shownKind == 0) {
        ShowImageFile(QString());
        return;
    }
    ShowImageFile(selectedKindFile());
}

QString UcTrackDetails::selectedKindFile() {
    const QString appData = m_appDataFolder.isEmpty() ? support::AppDataFolder() : m_appDataFolder;
    try {
        switch (m_shownKind) {
        case catalogue::ArtKindDownloaded:
            return m_arrIndex >= 1 ? catalogue::SaveDownloadedArtworkToTemp(m_track, appData)
                                   : QString();
        case catalogue::ArtKindEmbedded:
            return catalogue::SaveEmbeddedArtworkToTemp(m_track, m_scrollEmbedded->value(),
                                                        appData);
        default:
            break;
        }
    } catch (const musiclibrary::LibraryError&) {
        // The song changed since the scan; there is simply nothing to show.
        return {};
    }
    const catalogue::TrackRecord* record = shownRecord();
    return record ? FolderKindFile(*record, m_shownKind, m_scrollOther->value()) : QString();
}

bool UcTrackDetails::ShowImageFile(const QString& path) {
    if (path.isEmpty()) {
        showPicture(QImage());
        for (QLabel* label : {m_labDimensions, m_labSize, m_labFullPath})
            label->clear();
        m_labFullPath->setToolTip(m_labFullPath->text());
        return false;
    }

    const ImagePreview preview = ReadImagePreview(path, PictureBoxSize);
    showPicture(preview.image);
    // What the header says even when the picture is not decoded: the user
    // sees why a huge or damaged file shows no image.
    m_labDimensions->setText(
        preview.imageSize.isEmpty()
            ? QString()
            : DimensionsText(preview.imageSize.width(), preview.imageSize.height()));
    const QFileInfo info(path);
    m_labSize->setText(info.isFile() ? ImageSizeText(info.size()) : MissingFileSizeText());
    if (m_shownKind == catalogue::ArtKindEmbedded) {
        m_labFullPath->setText(u"(Embedded)"_s);
        m_labFullPath->setToolTip(QString());
    } else {
        m_labFullPath->setText(SplitPathForLabel(path));
        m_labFullPath->setToolTip(path);
    }
    return preview.loaded();
}

void UcTrackDetails::showPicture(const QImage& image) {
    if (image.isNull()) {
        m_picSongDetails->clear();
        m_picSongDetails->resize(PictureBoxSize);
        return;
    }
    m_picSongDetails->setPixmap(QPixmap::fromImage(image));
    m_picSongDetails->resize(image.size());
}

void UcTrackDetails::dragEnterEvent(QDragEnterEvent* event) {
    event->ignore();
    Q_EMIT OLEDragOver(event, DragEnter);
}

void UcTrackDetails::dragMoveEvent(QDragMoveEvent* event) {
    event->ignore();
    Q_EMIT OLEDragOver(event, DragOver);
}

void UcTrackDetails::dropEvent(QDropEvent* event) {
    event->ignore();
    Q_EMIT OLEDragDrop(event);
}

} // namespace mainwindow
