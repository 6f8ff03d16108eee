#include "support/FormAbout.h"

#include "support/DesktopShell.h"
#include "support/LinkLabel.h"
#include "support/SystemInfo.h"
#include "support/WebAddresses.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace support {

namespace {

QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QIcon mainWindowIcon(const QWidget* parent) {
    const QWidget* window = parent ? parent->window() : nullptr;
    return window ? window->windowIcon() : QApplication::windowIcon();
}

} // namespace

FormAbout::FormAbout(QWidget* parent, std::function<void(const QString&)> openLink)
    : QDialog(parent), m_openLink(openLink ? std::move(openLink) : ShellOpen) {
    setObjectName(u"FormAbout"_s);
    setWindowTitle(u"About Quillmoth"_s);
    setAcceptDrops(true);

    ImgLogo = namedLabel(u"ImgLogo"_s, {}, this);
    ImgLogo->setPixmap(mainWindowIcon(parent).pixmap(48, 48));
    ImgLogo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Label1 = namedLabel(u"Label1"_s, u"Quillmoth"_s, this);
    QFont nameFont = Label1->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.6);
    nameFont.setBold(true);
    Label1->setFont(nameFont);
    Label5 = namedLabel(u"Label5"_s, u"\u2122"_s, this);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2 = namedLabel(u"Label2"_s, VersionText(), this);
    Label3 = namedLabel(u"Label3"_s,
                        u"Quillmoth puts album cover art into the song files of your music "
                        "library, removes it again and writes folder thumbnail images.\n\n"
                        "Quillmoth is a trademark of Tarnwick. Copyright \u00a9 Tarnwick. "
                        "All rights reserved."_s,
                        this);
    Label3->setWordWrap(true);
    Label6 = namedLabel(u"Label6"_s,
                        u"Please visit our web site for current product information:"_s, this);
    LabLink = new LinkLabel(PRODUCT_HOME_PAGE, this);
    LabLink->setObjectName(u"LabLink"_s);
    connect(LabLink, &LinkLabel::clicked, this, &FormAbout::openLinkAddress);

    ButOK = new QPushButton(u"OK"_s, this);
    ButOK->setObjectName(u"ButOK"_s);
    ButOK->setDefault(true);
    ButOK->setAutoDefault(true);
    // Escape closes the box through QDialog::reject(), which makes OK the
    // cancel button as well.
    connect(ButOK, &QPushButton::clicked, this, &QDialog::accept);
    // The box opens on OK, not on the link, which comes first in the tab
    // order: Space then closes it too, as it would a box with only a button.
    ButOK->setFocus(Qt::OtherFocusReason);

    auto* nameRow = new QHBoxLayout;
    nameRow->setSpacing(2);
    nameRow->addWidget(Label1);
    nameRow->addWidget(Label5);
    nameRow->addStretch();

    auto* texts = new QVBoxLayout;
    texts->addLayout(nameRow);
    texts->addWidget(Label2);
    texts->addSpacing(8);
    texts->addWidget(Label3);
    texts->addSpacing(8);
    texts->addWidget(Label6);
    texts->addWidget(LabLink);

    auto* body = new QHBoxLayout;
    body->addWidget(ImgLogo);
    body->addSpacing(12);
    body->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButOK);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(420);
    // A dialog's frame: its size is its contents', not the user's to change.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void FormAbout::openLinkAddress() {
    m_openLink(LabLink->text().toLower());
}

void FormAbout::dragEnterEvent(QDragEnterEvent* event) {
    event->ignore();
    Q_EMIT dragEnterReceived(event);
}

void FormAbout::dragMoveEvent(QDragMoveEvent* event) {
    event->ignore();
    Q_EMIT dragMoveReceived(event);
}

void FormAbout::dropEvent(QDropEvent* event) {
    event->ignore();
    Q_EMIT dropReceived(event);
}

} // namespace support
