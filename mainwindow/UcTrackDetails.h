#pragma once

// The panel below the song lists: for the selected song its artist, album
// and name, the kinds of artwork the scan found, and one image of the chosen
// kind with its dimensions, size and path; a second page offers web sites
// for finding art and puts the song's fields on the clipboard.
//
// The main window sets ArrIndex and then Track whenever the selection or
// the tab changes. The kind the user last picked is kept across songs and
// shown again for every later song that has it.

#include "catalogue/TrackCatalogue.h"
#include "mainwindow/TrackDetailsView.h"
#include "musiclibrary/ITunes.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace mainwindow {

class UcTrackDetails : public QWidget, public TrackDetailsView {
    Q_OBJECT
public:
    // The panel's size in the main window.
    static constexpr QSize PanelSize{972, 265};
    // The picture box when it holds nothing, and the largest it grows to.
    static constexpr QSize PictureBoxSize{324, 214};

    // catalogue gives the records that ArrIndex points at; it must outlive
    // the panel (the main window's session does).
    explicit UcTrackDetails(const catalogue::TrackCatalogue* catalogue, QWidget* parent = nullptr);

    // Where the clipboard text goes; the system clipboard unless replaced.
    using ClipboardWriter = std::function<void(const QString& text)>;
    void setClipboardWriter(ClipboardWriter writer) { m_clipboard = std::move(writer); }
    // How a site's address is opened; the default browser unless replaced.
    using AddressOpener = std::function<void(const QString& address)>;
    void setAddressOpener(AddressOpener opener) { m_openAddress = std::move(opener); }
    // The folder of the temporary copies of library artwork; the program's
    // application-data folder unless replaced.
    void setAppDataFolder(const QString& folder) { m_appDataFolder = folder; }

    // TrackDetailsView
    void setArrIndex(int32_t index) override { m_arrIndex = index; }
    void setTrack(const musiclibrary::TrackPtr& track) override;
    int DetailsTab() const override;
    void setDetailsTab(int tab) override;
    QWidget* widget() override { return this; }

    int32_t ArrIndex() const { return m_arrIndex; }
    const musiclibrary::TrackPtr& Track() const { return m_track; }
    int ShownKind() const { return m_shownKind; }
    int PreferredKind() const { return m_preferredKind; }
    // 1 (manual) accepts drags and reports them; 0 refuses them.
    int OLEDropMode() const { return m_oleDropMode; }
    void setOLEDropMode(int mode);

    // Shows the image file in the picture box and fills the three labels;
    // an empty path empties them. Returns whether the picture was loaded.
    bool ShowImageFile(const QString& path);
    // Puts the chosen fields of the song shown on the clipboard.
    void CopyFieldsToClipboard(bool artist, bool album, bool song);

    // Controls, by the names the program gives them.
    QTabWidget* TabMain() const { return m_tabMain; }
    QLabel* LabArtist() const { return m_labArtist; }
    QLabel* LabAlbum() const { return m_labAlbum; }
    QLabel* LabName() const { return m_labName; }
    // kind is the bit value (1, 2, 4 ... 128); nullptr for anything else.
    QRadioButton* OptImage(int kind) const;
    QSpinBox* ScrollEmbedded() const { return m_scrollEmbedded; }
    QSpinBox* ScrollOther() const { return m_scrollOther; }
    QLabel* PicSongDetails() const { return m_picSongDetails; }
    QLabel* LabDimensions() const { return m_labDimensions; }
    QLabel* LabSize() const { return m_labSize; }
    QLabel* LabFullPath() const { return m_labFullPath; }
    QListWidget* ListMain() const { return m_listSites; }
    QPushButton* ButGo() const { return m_butGo; }
    QPushButton* ButCopyFieldsNow() const { return m_butCopyFieldsNow; }
    QCheckBox* CheckIncludeArtist() const { return m_checkIncludeArtist; }
    QCheckBox* CheckIncludeAlbum() const { return m_checkIncludeAlbum; }
    QCheckBox* CheckIncludeSong() const { return m_checkIncludeSong; }
    QCheckBox* CheckCopyDetails() const { return m_checkCopyDetails; }

Q_SIGNALS:
    // Drags over the panel or any of its controls, for the window's drop
    // handling; a receiver that wants the drop accepts the event. state is
    // 0 when the drag enters, 2 while it moves over the panel.
    void OLEDragOver(QDragMoveEvent* event, int state);
    void OLEDragDrop(QDropEvent* event);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // UcTrackDetails.cpp: the Song Details page.
    QWidget* buildSongDetailsPage();
    // Places the option buttons and their spin controls wide enough for
    // their captions; returns the right edge of the block.
    int layoutKindOptions();
    void RefreshTrackDetails();
    void ClearKindOptions();
    void EnableKindOptions();
    void SelectInitialKind();
    void selectKind(int kind);
    void optImageClicked(int kind);
    void ShowSelectedKind();
    QString selectedKindFile();
    const catalogue::TrackRecord* shownRecord() const;
    void showPicture(const QImage& image);
    // UcTrackDetailsWeb.cpp: the Web page.
    QWidget* buildWebPage();
    void FillWebSiteList();
    void siteSelectionChanged();
    void ButGoClicked();
    void copyChosenFields();

    const catalogue::TrackCatalogue* m_catalogue;
    musiclibrary::TrackPtr m_track;
    int32_t m_arrIndex = 0;
    int m_shownKind = 0;
    int m_preferredKind = 0;
    bool m_panelUpdating = false;
    int m_oleDropMode = 0;
    QString m_appDataFolder;
    ClipboardWriter m_clipboard;
    AddressOpener m_openAddress;

    QTabWidget* m_tabMain = nullptr;
    QLabel* m_labArtist = nullptr;
    QLabel* m_labAlbum = nullptr;
    QLabel* m_labName = nullptr;
    QButtonGroup* m_optImageGroup = nullptr;
    std::array<QRadioButton*, 8> m_optImage{};
    QSpinBox* m_scrollEmbedded = nullptr;
    QSpinBox* m_scrollOther = nullptr;
    QLabel* m_picSongDetails = nullptr;
    QLabel* m_labDimensions = nullptr;
    QLabel* m_labSize = nullptr;
    QLabel* m_labFullPath = nullptr;
    QListWidget* m_listSites = nullptr;
    QPushButton* m_butGo = nullptr;
    QPushButton* m_butCopyFieldsNow = nullptr;
    QCheckBox* m_checkIncludeArtist = nullptr;
    QCheckBox* m_checkIncludeAlbum = nullptr;
    QCheckBox* m_checkIncludeSong = nullptr;
    QCheckBox* m_checkCopyDetails = nullptr;
};

} // namespace mainwindow
