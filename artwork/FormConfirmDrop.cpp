#include "artwork/FormConfirmDrop.h"

#include "artwork/ImageMeasure.h"
#include "artwork/WizardControls.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

const QString AboutFolderJpg =
    u"If a folder contains an image file named Folder.JPG, Quillmoth can embed that image into "
    u"any song files that are located in the same folder. This makes Folder.JPG a convenient "
    u"source for artwork common to an entire album. (Windows can also show the Folder.JPG image "
    u"on top of the folder's icon in Windows Explorer, which makes it easy to see what album is "
    u"contained in a folder.)"_s;

QLabel* imageBox(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFixedSize(FormConfirmDrop::ShownSide, FormConfirmDrop::ShownSide);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::StyledPanel);
    return label;
}

} // namespace

FormConfirmDrop::FormConfirmDrop(QWidget* parent) : QDialog(parent) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    ButYes = PlainButton(u"&Yes"_s, u"ButYes"_s, this);
    ButNo = PlainButton(u"&No"_s, u"ButNo"_s, this);
    ButYes->setDefault(true);
    connect(ButYes, &QPushButton::clicked, this, [this] { finish(6); });
    connect(ButNo, &QPushButton::clicked, this, [this] { finish(7); });
}

void FormConfirmDrop::finish(int32_t result) {
    Result = result;
    if (result == 6)
        accept();
    else
        QDialog::reject();
}

// Esc and the close box are No.
void FormConfirmDrop::reject() {
    finish(7);
}

bool FormConfirmDrop::LoadPreview(QLabel* label, const QString& path) {
    label->clear();
    const QSize size = ImageFileSize(path);
    if (size.isEmpty())
        return false;
    QImageReader reader(path);
    // Decoded straight to the size shown: a huge picture never fills memory.
    reader.setScaledSize(
        size.scaled(ShownSide, ShownSide, Qt::KeepAspectRatio).boundedTo(size).expandedTo({1, 1}));
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    label->setPixmap(QPixmap::fromImage(image));
    label->setToolTip(path);
    return true;
}

QString FormConfirmDrop::SizeText(const QString& path) {
    return u"(Size: "_s + QString::number(QFileInfo(path).size() / 1024) + u" KB)"_s;
}

void FormConfirmDrop::startWith(const QString& droppedImage) {
    Result = 1;
    if (!LoadPreview(ImgNew, droppedImage)) {
        Result = 3;
        LabImgNew->clear();
        return;
    }
    LabImgNew->setText(SizeText(droppedImage));
}

FormConfirmIneligible::FormConfirmIneligible(QWidget* parent) : FormConfirmDrop(parent) {
    setObjectName(u"FormConfirmIneligible"_s);
    setWindowTitle(u"Confirm replacing album art"_s);
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    auto* texts = new QVBoxLayout;
    texts->addWidget(WrappedLabel(u"Would you like to save the image that you have dropped onto "
                                  u"Quillmoth as a file named Folder.JPG in the selected song's "
                                  u"folder?"_s,
                                  u"Label3"_s, this));
    texts->addWidget(WrappedLabel(
        u"The folder which contains the selected song does not yet have a file named Folder.JPG. "
        u"Saving the dropped image as Folder.JPG will not automatically update any song files in "
        u"the folder. You will need to update the song files as a separate step."_s,
        u"Label2"_s, this));
    texts->addWidget(WrappedLabel(AboutFolderJpg, u"Label1"_s, this));
    texts->addStretch(1);
    body->addLayout(texts, 1);
    auto* picture = new QVBoxLayout;
    ImgNew = imageBox(u"ImgNew"_s, this);
    LabImgNew = new QLabel(this);
    LabImgNew->setObjectName(u"LabImgNew"_s);
    picture->addWidget(ImgNew);
    picture->addWidget(LabImgNew, 0, Qt::AlignHCenter);
    picture->addStretch(1);
    body->addLayout(picture);
    layout->addLayout(body);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButYes);
    buttons->addWidget(ButNo);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo({620, 0}));
}

FormConfirmReplace::FormConfirmReplace(QWidget* parent) : FormConfirmDrop(parent) {
    setObjectName(u"FormConfirmReplace"_s);
    setWindowTitle(u"Confirm replacing Folder.JPG"_s);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(WrappedLabel(u"Would you like to replace the existing Folder.JPG file with "
                                   u"the image that you have dropped onto Quillmoth?"_s,
                                   u"Label5"_s, this));
    layout->addWidget(WrappedLabel(
        u"The folder which contains the selected song already has a file named Folder.JPG. "
        u"Replacing the folder's existing Folder.JPG file will not automatically update any "
        u"images already embedded in song files in the folder. You will need to update any "
        u"existing embedded images as a separate step."_s,
        u"Label3"_s, this));
    auto* pictures = new QGridLayout;
    pictures->addWidget(WrappedLabel(u"Dropped image:"_s, u"Label4"_s, this), 0, 0);
    pictures->addWidget(WrappedLabel(u"Existing Folder.JPG:"_s, u"Label2"_s, this), 0, 1);
    ImgNew = imageBox(u"ImgNew"_s, this);
    ImgCur = imageBox(u"ImgCur"_s, this);
    LabImgNew = new QLabel(this);
    LabImgNew->setObjectName(u"LabImgNew"_s);
    LabImgCur = new QLabel(this);
    LabImgCur->setObjectName(u"LabImgCur"_s);
    pictures->addWidget(ImgNew, 1, 0);
    pictures->addWidget(ImgCur, 1, 1);
    pictures->addWidget(LabImgNew, 2, 0, Qt::AlignHCenter);
    pictures->addWidget(LabImgCur, 2, 1, Qt::AlignHCenter);
    layout->addLayout(pictures);
    layout->addWidget(WrappedLabel(AboutFolderJpg, u"Label1"_s, this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButYes);
    buttons->addWidget(ButNo);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo({560, 0}));
}

void FormConfirmReplace::Start(const QString&, const QString& droppedImage,
                               const QString& existingFolderJpg) {
    startWith(droppedImage);
    if (Result != 1)
        return;
    // The old file is shown when it can be; either way it is the one replaced.
    LoadPreview(ImgCur, existingFolderJpg);
    LabImgCur->setText(SizeText(existingFolderJpg));
}

} // namespace artwork
