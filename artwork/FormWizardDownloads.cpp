#include "artwork/FormWizardDownloads.h"

#include "artwork/DownloadRuns.h"
#include "artwork/WizardControls.h"

#include "artworkdownload/DownloadSettings.h"
#include "support/OptionGroupTabStop.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace artwork {

OnePageWizard::OnePageWizard(const QString& title, std::function<int()> listMainStatus,
                             std::function<StepStatus(int)> statusTexts, QWidget* parent)
    : WizardForm(title, u"< &Back"_s, parent), m_listMainStatus(std::move(listMainStatus)),
      m_statusTexts(std::move(statusTexts)) {
    m_page = addStep();
    new QVBoxLayout(m_page);
}

void OnePageWizard::finishPage() {
    auto* layout = static_cast<QVBoxLayout*>(m_page->layout());
    layout->addSpacing(12);
    LabStep1Status = WrappedLabel({}, u"LabStep1Status"_s, m_page);
    LabStep1NextStep = WrappedLabel({}, u"LabStep1NextStep"_s, m_page);
    layout->addWidget(LabStep1Status);
    layout->addWidget(LabStep1NextStep);
    layout->addStretch(1);
    setFixedSize(sizeHint().expandedTo({520, 340}));
}

void OnePageWizard::Init() {
    ShowStep(1);
}

void OnePageWizard::updateStepControls() {
    const StepStatus status = m_statusTexts(m_listMainStatus ? m_listMainStatus() : 0);
    LabStep1Status->setText(status.status);
    LabStep1NextStep->setText(status.nextStep);
    m_allowsGo = status.nextEnabled;
}

FormWizardCreatePlaylist::FormWizardCreatePlaylist(std::function<int()> listMainStatus,
                                                   QWidget* parent)
    : OnePageWizard(u"Create Playlist of Artwork to Download Wizard"_s, std::move(listMainStatus),
                    PlaylistWizardStatus, parent) {
    setObjectName(u"FormWizardCreatePlaylist"_s);
    auto* layout = static_cast<QVBoxLayout*>(page()->layout());
    layout->addWidget(WrappedLabel(u"Use this wizard to create a playlist of songs for which you "
                                   u"want iTunes to download cover artwork."_s,
                                   u"Label1"_s, page()));
    layout->addWidget(WrappedLabel(
        u"Quillmoth cannot make iTunes download cover artwork. However, you can use this wizard "
        u"to create an iTunes playlist containing all of the songs for which you want artwork "
        u"downloaded. Then, you can switch over to iTunes, select the playlist (and all of its "
        u"songs), right-click and choose Get Album Artwork."_s,
        u"Label8"_s, page()));
    QString text = u"This wizard will add each song with a check mark to an iTunes playlist "
                   u"called '%ITUNES_PLAYLIST_NAME%'. (There is no harm in having a check mark by "
                   u"a song which already has embedded or previously-downloaded artwork, because "
                   u"iTunes will ignore any request to download artwork for it.)"_s;
    text.replace(u"%ITUNES_PLAYLIST_NAME%"_s, DownloadPlaylistName());
    LabWithPlaylistName = WrappedLabel(text, u"LabWithPlaylistName"_s, page());
    layout->addWidget(LabWithPlaylistName);
    finishPage();
}

FormWizardEmbedDownloadedArtwork::FormWizardEmbedDownloadedArtwork(
    std::function<int()> listMainStatus, QWidget* parent)
    : OnePageWizard(u"Embed Downloaded Artwork Wizard"_s, std::move(listMainStatus),
                    EmbedDownloadedWizardStatus, parent) {
    setObjectName(u"FormWizardEmbedDownloadedArtwork"_s);
    auto* layout = static_cast<QVBoxLayout*>(page()->layout());
    layout->addWidget(WrappedLabel(
        u"This wizard will embed album cover art which has been downloaded by iTunes into any "
        u"song on the Eligible Songs tab which has a check mark. (Any song with a check mark but "
        u"no downloaded artwork will be ignored.)"_s,
        u"Label8"_s, page()));
    finishPage();
}

FormWizardGetAlbumArtwork::FormWizardGetAlbumArtwork(std::function<int()> listMainStatus,
                                                     const QString& size, QWidget* parent)
    : OnePageWizard(u"Get Album Artwork Wizard"_s, std::move(listMainStatus),
                    GetArtworkWizardStatus, parent) {
    setObjectName(u"FormWizardGetAlbumArtwork"_s);
    auto* layout = static_cast<QVBoxLayout*>(page()->layout());
    layout->addWidget(WrappedLabel(
        u"Use this wizard to get album cover artwork for the songs of the playlist '%1' from "
        u"MusicBrainz and the Cover Art Archive."_s.arg(DownloadPlaylistName()),
        u"Label1"_s, page()));
    layout->addWidget(WrappedLabel(
        u"Each album is looked up once: by the MusicBrainz release ids in its songs' tags, or "
        u"else by its artist and album title, and a cover is taken only when the match is "
        u"certain. The cover becomes the downloaded artwork of each song of the album that has "
        u"no artwork yet; songs that have artwork are left alone. Only the artist, the album "
        u"title and the release ids are sent, and only once you click Go!."_s,
        u"Label8"_s, page()));
    auto* sizeLabel = WrappedLabel(u"&Size of the cover to get:"_s, u"LabSize"_s, page());
    layout->addWidget(sizeLabel);
    auto* sizes = new QButtonGroup(page());
    const std::array<QString, 4> captions{u"&250 pixels"_s, u"&500 pixels"_s, u"&1200 pixels"_s,
                                          u"&Original size"_s};
    const QStringList& values = artworkdownload::CoverSizes();
    for (int i = 0; i < 4; ++i) {
        OptSize[size_t(i)] = new QRadioButton(captions[size_t(i)], page());
        OptSize[size_t(i)]->setObjectName(u"OptSize%1"_s.arg(i));
        OptSize[size_t(i)]->setChecked(values.value(i) == size);
        sizes->addButton(OptSize[size_t(i)], i);
        layout->addWidget(OptSize[size_t(i)]);
    }
    if (!sizes->checkedButton())
        OptSize[1]->setChecked(true);
    sizeLabel->setBuddy(OptSize[0]);
    new support::OptionGroupTabStop(sizes);
    finishPage();
}

QString FormWizardGetAlbumArtwork::Size() const {
    for (int i = 0; i < 4; ++i)
        if (OptSize[size_t(i)]->isChecked())
            return artworkdownload::CoverSizes().value(i);
    return artworkdownload::DefaultCoverSize;
}

} // namespace artwork
