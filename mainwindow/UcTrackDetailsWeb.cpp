// The panel's "Web" page: sites for finding cover art, and the song's
// fields on the clipboard for pasting into the site's search field.

#include "mainwindow/TrackDetailsText.h"
#include "mainwindow/UcTrackDetails.h"
#include "mainwindow/WebSites.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mainwindow {

namespace {

constexpr int SiteIdRole = Qt::UserRole;

QLabel* AddWrappedLabel(QWidget* page, const QString& text, const QRect& geometry,
                        const QString& name) {
    auto* label = new QLabel(text, page);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QCheckBox* AddCheck(QWidget* parent, const QString& text, const QRect& geometry,
                    const QString& name, bool checked) {
    auto* check = new QCheckBox(text, parent);
    check->setObjectName(name);
    check->setGeometry(geometry);
    check->setChecked(checked);
    return check;
}

QPushButton* AddButton(QWidget* page, const QString& text, const QRect& geometry,
                       const QString& name) {
    auto* button = new QPushButton(text, page);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setEnabled(false);
    return button;
}

} // namespace

QWidget* UcTrackDetails::buildWebPage() {
    auto* page = new QWidget;
    page->setObjectName(u"PageWeb"_s);

    AddWrappedLabel(page,
                    u"You can use the web sites listed on this tab to find the album cover art.  "
                    u"You can add art to ineligible songs, thus making them eligible to have "
                    u"cover art embedded.  You can also replace the existing art for eligible "
                    u"songs."_s,
                    {8, 6, 948, 36}, u"Label1"_s);
    QLabel* label2 = AddWrappedLabel(page, u"&Look up on the following web site:"_s,
                                     {8, 48, 240, 20}, u"Label2"_s);
    m_listSites = new QListWidget(page);
    m_listSites->setObjectName(u"ListMain"_s);
    m_listSites->setGeometry(8, 70, 240, 112);
    label2->setBuddy(m_listSites);
    m_butGo = AddButton(page, u"&Go to selected web site"_s, {8, 190, 240, 28}, u"ButGo"_s);

    QLabel* label3 = AddWrappedLabel(
        page,
        u"Choose a web site from the list and whether you want to have various information "
        u"about the current song copied to the clipboard.  (You can paste the clipboard "
        u"contents into the search field of the selected web site.)"_s,
        {264, 48, 420, 52}, u"Label3"_s);
    // As high as the user's font needs, and the boxes below it: a fixed
    // height cut the last line short.
    label3->resize(label3->width(), std::max(label3->height(), label3->heightForWidth(420)));
    const int frameTop = label3->geometry().bottom() + 1 + 6;
    auto* frame = new QGroupBox(u"F&ields to copy to clipboard"_s, page);
    frame->setObjectName(u"Frame1"_s);
    frame->setGeometry(264, frameTop, 200, 104);
    m_checkIncludeArtist = AddCheck(frame, u"Include &artist name"_s, {10, 24, 180, 22},
                                    u"CheckIncludeArtist"_s, true);
    m_checkIncludeAlbum =
        AddCheck(frame, u"Include album &name"_s, {10, 50, 180, 22}, u"CheckIncludeAlbum"_s, true);
    m_checkIncludeSong =
        AddCheck(frame, u"Include &song name"_s, {10, 76, 180, 22}, u"CheckIncludeSong"_s, false);
    m_butCopyFieldsNow = AddButton(page, u"Copy fields &to clipboard now"_s,
                                   {476, frameTop + 8, 208, 28}, u"ButCopyFieldsNow"_s);
    m_checkCopyDetails = AddCheck(page, u"&Copy fields when browsing"_s,
                                  {476, frameTop + 46, 208, 22}, u"CheckCopyDetails"_s, true);

    AddWrappedLabel(
        page,
        u"You can drop and drop any album cover art image (usually in JPG format) from your "
        u"browser window onto anywhere in the Quillmoth window to assign it the currently "
        u"selected song. (Image drag and drop is best supported in Internet Explorer and may not "
        u"work in other browsers.)"_s,
        {700, 48, 256, 170}, u"Label4"_s);

    connect(m_listSites, &QListWidget::itemSelectionChanged, this,
            &UcTrackDetails::siteSelectionChanged);
    connect(m_listSites, &QListWidget::itemDoubleClicked, this, &UcTrackDetails::ButGoClicked);
    connect(m_butGo, &QPushButton::clicked, this, &UcTrackDetails::ButGoClicked);
    connect(m_butCopyFieldsNow, &QPushButton::clicked, this, &UcTrackDetails::copyChosenFields);
    return page;
}

void UcTrackDetails::FillWebSiteList() {
    m_listSites->clear();
    for (const WebSite& site : WebSiteTable()) {
        auto* item = new QListWidgetItem(site.displayName, m_listSites);
        item->setData(SiteIdRole, int(site.id));
    }
}

namespace {

const WebSite* SelectedSite(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : WebSiteById(selected.first()->data(SiteIdRole).toInt());
}

} // namespace

void UcTrackDetails::siteSelectionChanged() {
    const WebSite* site = SelectedSite(m_listSites);
    m_butGo->setEnabled(site != nullptr);
    m_listSites->setToolTip(site ? site->address : QString());
}

void UcTrackDetails::ButGoClicked() {
    const WebSite* site = SelectedSite(m_listSites);
    if (!site)
        return;
    if (m_checkCopyDetails->isChecked())
        copyChosenFields();
    m_openAddress(site->address);
}

void UcTrackDetails::copyChosenFields() {
    CopyFieldsToClipboard(m_checkIncludeArtist->isChecked(), m_checkIncludeAlbum->isChecked(),
                          m_checkIncludeSong->isChecked());
}

void UcTrackDetails::CopyFieldsToClipboard(bool artist, bool album, bool song) {
    if (!m_track)
        return;
    ClipboardFields fields;
    fields.includeArtist = artist;
    fields.includeAlbum = album;
    fields.includeSong = song;
    try {
        if (artist)
            fields.artist = m_track->Artist();
        if (album)
            fields.album = m_track->Album();
        if (song)
            fields.song = m_track->Name();
    } catch (const musiclibrary::LibraryError&) {
        // A song gone from the library leaves its fields out.
    }
    const QString text = ClipboardFieldsText(fields);
    if (!text.isEmpty())
        m_clipboard(text);
}

} // namespace mainwindow
