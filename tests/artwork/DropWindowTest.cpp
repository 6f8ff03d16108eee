// Drops on the main window: the confirmation dialogs, and a picture dragged
// from a browser ending as the selected song's Folder.jpg.

#include "artwork/FormConfirmDrop.h"
#include "mainwindow/UcProgress.h"
#include "tests/artwork/ArtworkTestSupport.h"
#include "tests/artwork/WindowTestSupport.h"
#include "tests/common/DialogKeys.h"

#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;

namespace {

// A dropped picture is shown scaled down to fit, with its size in whole
// kilobytes and its file as the tip. A header declaring a giant picture is
// refused before anything is decoded (other files that are no picture never
// reach the dialog: DropTest).
TEST(ConfirmDialogs, WhatEachDroppedFileShows) {
    TempFolder folder;
    const QString padded = folder.file(u"padded.jpg"_s); // 7,911 bytes
    writeFile(padded, readFile(seedPath(u"cover-600.jpg"_s)) + QByteArray(5000, '\0'));
    FormConfirmIneligible shown;
    shown.Start(padded);
    EXPECT_EQ(shown.Result, 1);
    EXPECT_EQ(shown.ImgNew->pixmap().size(), QSize(240, 240));
    EXPECT_EQ(shown.LabImgNew->text(), u"(Size: 7 KB)"_s);
    EXPECT_EQ(shown.ImgNew->toolTip(), padded);

    writeFile(folder.file(u"bomb.png"_s), pngDeclaring(60000, 60000));
    FormConfirmIneligible refused;
    refused.Start(folder.file(u"bomb.png"_s));
    EXPECT_EQ(refused.Result, 3);
    EXPECT_TRUE(refused.ImgNew->pixmap().isNull());

    FormConfirmReplace replace;
    const QString current = folder.copySeed(u"cover-75.jpg"_s, u"folder.jpg"_s);
    replace.Start(folder.file(u"song.mp3"_s), padded, current);
    EXPECT_EQ(replace.Result, 1);
    EXPECT_EQ(replace.LabImgCur->text(), u"(Size: 0 KB)"_s);
    EXPECT_EQ(replace.ImgCur->toolTip(), current);
}

// Yes is Return and Alt+Y; No is Escape, Alt+N and the close box.
TEST(ConfirmDialogs, BothQuestionsAreAnsweredFromTheKeyboard) {
    TempFolder folder;
    const QString dropped = folder.copySeed(u"cover-300.jpg"_s, u"d.jpg"_s);
    const auto open = [&dropped](bool replacing) -> std::unique_ptr<FormConfirmDrop> {
        if (!replacing) {
            auto dialog = std::make_unique<FormConfirmIneligible>();
            dialog->Start(dropped);
            return dialog;
        }
        auto dialog = std::make_unique<FormConfirmReplace>();
        dialog->Start({}, dropped, dropped);
        return dialog;
    };
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, int> presses[] = {
        {Qt::Key_Return, Qt::NoModifier, 6},
        {Qt::Key_Y, Qt::AltModifier, 6},
        {Qt::Key_Escape, Qt::NoModifier, 7},
        {Qt::Key_N, Qt::AltModifier, 7}};
    for (const bool replacing : {false, true}) {
        for (const auto& [key, modifiers, result] : presses) {
            SCOPED_TRACE(testing::Message() << "replacing " << replacing << ", key " << key);
            const std::unique_ptr<FormConfirmDrop> dialog = open(replacing);
            ASSERT_TRUE(ShowActive(*dialog));
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget()
                                                        : dialog.get(),
                            key, modifiers);
            QTest::qWait(modifiers ? 150 : 0); // a button's & key clicks it a moment later
            EXPECT_EQ(dialog->Result, result);
        }
        const std::unique_ptr<FormConfirmDrop> dialog = open(replacing);
        dialog->show();
        dialog->close();
        EXPECT_EQ(dialog->Result, 7) << "the close box";
    }
}

// What Firefox offers when an image is dragged from a page: the link and its
// own PNG encoding of the picture, no file.
void offerFirefoxImage(QMimeData& offer) {
    const QByteArray png = readFile(seedPath(u"cover-160x120.png"_s));
    offer.setData(u"text/x-moz-url"_s, "https://example.org/c.png\nCover");
    offer.setUrls({QUrl(u"https://example.org/c.png"_s)});
    offer.setText(u"https://example.org/c.png"_s);
    offer.setData(u"application/x-moz-nativeimage"_s, png);
    offer.setData(u"image/png"_s, png);
}

class DropWindowTest : public WindowTest<> {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        library.copySeed(u"seed.mp3"_s, u"Album/song.mp3"_s);
        runner.play = [this](QDialog& dialog) {
            asked.append(QString::fromLatin1(dialog.metaObject()->className()));
            dynamic_cast<FormConfirmDrop&>(dialog).ButYes->click();
        };
        ASSERT_NO_FATAL_FAILURE(
            start([this] { return musiclibrary::openLibrary(library.path(), {data.path()}); }));
        ASSERT_EQ(window->session().Eligible.rowCount(), 1);
        window->session().Eligible.selectRow(0);
        window->show();
    }
    // Sends the drag and the drop to widget as the system would.
    Qt::DropAction dragAndDrop(QWidget* widget, const QMimeData& data) {
        const QPoint at = widget->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &enter);
        if (!enter.isAccepted())
            return Qt::IgnoreAction;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }
    QTimer* timerDnd() { return window->findChild<QTimer*>(u"TimerDnd"_s); }

    TempFolder library, data;
    QStringList asked;
};

TEST_F(DropWindowTest, ABrowsersPictureEndsAsFolderJpgAfterTheQuestion) {
    QMimeData firefox;
    offerFirefoxImage(firefox);
    ASSERT_NE(timerDnd(), nullptr);
    EXPECT_EQ(dragAndDrop(window->ListMain(0)->viewport(), firefox), Qt::CopyAction);
    EXPECT_TRUE(timerDnd()->isActive()) << "the work waits for the drag to be over";
    EXPECT_TRUE(asked.isEmpty());
    QTest::qWait(100);
    EXPECT_EQ(asked, QStringList{u"artwork::FormConfirmIneligible"_s});
    // Firefox offered only its own PNG encoding: Folder.jpg is a JPEG all the same.
    const QByteArray written = readFile(library.file(u"Album/Folder.jpg"_s));
    EXPECT_TRUE(written.startsWith("\xFF\xD8\xFF"));
    EXPECT_EQ(QImage::fromData(written, "JPEG").size(), QSize(160, 120));
}

// Every control of the window takes a dragged file or a browser's picture;
// bare text is refused everywhere.
TEST_F(DropWindowTest, EveryControlTakesPicturesAndRefusesText) {
    const QString cover = library.copySeed(u"cover-300.jpg"_s, u"elsewhere/cover.jpg"_s);
    QMimeData files, firefox, text;
    files.setUrls({QUrl::fromLocalFile(cover)});
    offerFirefoxImage(firefox);
    text.setText(u"https://example.org/"_s);
    const std::pair<const QMimeData*, Qt::DropAction> offers[] = {
        {&files, Qt::CopyAction}, {&firefox, Qt::CopyAction}, {&text, Qt::IgnoreAction}};
    for (QWidget* control :
         std::initializer_list<QWidget*>{window.get(), window->ToolbarMain(), window->TabMain(),
                                         window->ListMain(0)->viewport(),
                                         window->ListMain(1)->viewport(), window->ProgressMain()}) {
        for (const auto& [offer, action] : offers) {
            EXPECT_EQ(dragAndDrop(control, *offer), action)
                << control->objectName().toStdString() << ": "
                << offer->formats().join(u' ').toStdString();
            timerDnd()->stop();
        }
    }
    EXPECT_TRUE(asked.isEmpty());
}

} // namespace
