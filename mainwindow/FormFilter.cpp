#include "mainwindow/FormFilter.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <bit>

using namespace Qt::StringLiterals;

namespace mainwindow {

namespace {

// The captions are the dialog's own and do not follow the kind names of
// the lists: the box of bit 8 reads "WMP &Large" and filters that bit.
constexpr const char16_t* CheckCaptions[8] = {
    u"Downloaded by &iTunes",
    u"&Embedded",
    u"&Folder.JPG",
    u"WMP &Large",
    u"WMP &Small",
    u"&WMP Id",
    u"&Other Base.Ext",
    u"Backup",
};
constexpr int BoxLeft = 12;
constexpr int BoxTop = 36;
constexpr int BoxPitch = 24;
constexpr int ButtonWidth = 88;
constexpr int ButtonHeight = 26;
constexpr int32_t AllKinds = 255;

QPushButton* AddButton(QWidget* parent, const QString& text, const QRect& geometry,
                       const QString& name) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

} // namespace

FormFilter::FormFilter(QWidget* parent) : QDialog(parent) {
    setObjectName(u"FormFilter"_s);
    setWindowTitle(u"Filter Eligible Songs"_s);
    setFixedSize(ClientSize);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto* label1 = new QLabel(u"Display songs having any of these types of artwork:"_s, this);
    label1->setObjectName(u"Label1"_s);
    label1->setGeometry(BoxLeft, 8, ClientSize.width() - 2 * BoxLeft, 20);

    for (int slot = 0; slot < 8; ++slot) {
        auto* box = new QCheckBox(QString::fromUtf16(CheckCaptions[slot]), this);
        box->setObjectName(u"CheckArtType%1"_s.arg(1 << slot));
        box->setGeometry(BoxLeft, BoxTop + slot * BoxPitch, 160, 22);
        m_checkArtType[static_cast<size_t>(slot)] = box;
    }

    const int right = ClientSize.width() - BoxLeft - ButtonWidth;
    m_butCheckAll = AddButton(this, u"&Check All"_s, {right, BoxTop, ButtonWidth, ButtonHeight},
                              u"ButCheckAll"_s);
    m_butUncheckAll =
        AddButton(this, u"&Uncheck All"_s, {right, BoxTop + 32, ButtonWidth, ButtonHeight},
                  u"ButUncheckAll"_s);
    const int bottom = ClientSize.height() - 12 - ButtonHeight;
    m_butOK = AddButton(this, u"OK"_s, {right - ButtonWidth - 8, bottom, ButtonWidth, ButtonHeight},
                        u"ButOK"_s);
    m_butCancel =
        AddButton(this, u"Cancel"_s, {right, bottom, ButtonWidth, ButtonHeight}, u"ButCancel"_s);
    // Enter presses OK wherever the focus is; Esc comes to reject().
    m_butOK->setDefault(true);

    connect(m_butCheckAll, &QPushButton::clicked, this, [this] { setAll(true); });
    connect(m_butUncheckAll, &QPushButton::clicked, this, [this] { setAll(false); });
    connect(m_butOK, &QPushButton::clicked, this, [this] { finish(ResultOk); });
    connect(m_butCancel, &QPushButton::clicked, this, [this] { finish(ResultCancel); });
}

QCheckBox* FormFilter::CheckArtType(int kind) const {
    if (kind <= 0 || kind > 128 || !std::has_single_bit(static_cast<unsigned>(kind)))
        return nullptr;
    return m_checkArtType[static_cast<size_t>(std::countr_zero(static_cast<unsigned>(kind)))];
}

int32_t FormFilter::ArtTypes() const {
    int32_t types = 0;
    for (int slot = 0; slot < 8; ++slot) {
        if (m_checkArtType[static_cast<size_t>(slot)]->isChecked())
            types |= 1 << slot;
    }
    return types;
}

void FormFilter::setArtTypes(int32_t types) {
    for (int slot = 0; slot < 8; ++slot)
        m_checkArtType[static_cast<size_t>(slot)]->setChecked((types & (1 << slot)) != 0);
}

void FormFilter::setAll(bool checked) {
    setArtTypes(checked ? AllKinds : 0);
}

void FormFilter::finish(Result result) {
    m_dialogResult = result;
    // Hidden, not destroyed: the caller reads ArtTypes afterwards.
    if (result == ResultOk)
        accept();
    else
        QDialog::reject();
}

// Esc and the close box both end here; Esc is the Cancel button's key and
// the close box counts as Cancel.
void FormFilter::reject() {
    finish(ResultCancel);
}

} // namespace mainwindow
