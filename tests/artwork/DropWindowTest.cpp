// Drops on the main window: the confirmation dialogs, and a picture dragged
// from a browser ending as the selected song's Folder.jpg.

#include "artwork/ArtworkCommands.h"
#include "artwork/FormConfirmDrop.h"
#include "artwork/OleDnd.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/StartUp.h"
#include "mainwindow/UcProgress.h"
#include "musiclibrary/Library.h"
#include "support/Registry.h"
#include "tests/artwork/ArtworkTestSupport.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace artwork;
using testing_support::TempFolder;

namespace {

TEST(ConfirmDialogs, TextsPicturesAndSizes) {
    TempFolder folder;
    const QString dropped = folder.copySeed(u"cover-600.jpg"_s, u"dropped.jpg"_s);
    testing_support::writeFile(folder.file(u"big.jpg"_s),
                               testing_support::readFile(dropped) + QByteArray(5000, '\0'));
    FormConfirmIneligible ineligible;
    EXPECT_EQ(ineligible.windowTitle(), u"Confirm replacing album art"_s);
    ineligible.Start(folder.file(u"big.jpg"_s));
    EXPECT_EQ(ineligible.Result, 1);
    EXPECT_EQ(ineligible.LabImgNew->text(), u"(Size: 7 KB)"_s) << "7,911 bytes";
    EXPECT_FALSE(ineligible.ImgNew->pixmap().isNull());
    EXPECT_LE(ineligible.ImgNew->pixmap().width(), FormConfirmDrop::ShownSide);
    EXPECT_EQ(ineligible.ImgNew->toolTip(), folder.file(u"big.jpg"_s));
    EXPECT_TRUE(
        ineligible.findChild<QLabel*>(u"Label2"_s)
            ->text()
            .startsWith(
                u"The folder which contains the selected song does not yet have a file named "
                u"Folder.JPG."_s));

    FormConfirmReplace replace;
    EXPECT_EQ(replace.windowTitle(), u"Confirm replacing Folder.JPG"_s);
    const QString current = folder.copySeed(u"cover-75.jpg"_s, u"folder.jpg"_s);
    replace.Start(folder.file(u"song.mp3"_s), dropped, current);
    EXPECT_EQ(replace.Result, 1);
    EXPECT_EQ(replace.LabImgNew->text(), u"(Size: 2 KB)"_s);
    EXPECT_EQ(replace.LabImgCur->text(), u"(Size: 0 KB)"_s);
    EXPECT_EQ(replace.ImgCur->toolTip(), current);
    EXPECT_EQ(replace.findChild<QLabel*>(u"Label4"_s)->text(), u"Dropped image:"_s);
    EXPECT_EQ(replace.findChild<QLabel*>(u"Label2"_s)->text(), u"Existing Folder.JPG:"_s);
    replace.layout()->activate();
    EXPECT_GT(replace.ImgCur->x(), replace.ImgNew->x() + FormConfirmDrop::ShownSide / 2)
        << "side by side";
}

// A header that declares a giant picture is refused before anything is
// decoded; a large real one is decoded straight to the size shown.
TEST(ConfirmDialogs, ImagesThatCannotBeShownAreRefusedWithoutDecodingThem) {
    TempFolder folder;
    const QString bomb = folder.file(u"bomb.png"_s);
    testing_support::writeFile(bomb, testing_support::pngDeclaring(60000, 60000));
    const QString text = folder.file(u"text.jpg"_s);
    testing_support::writeFile(text, "words");
    for (const QString& path : {bomb, text, folder.file(u"none.jpg"_s)}) {
        FormConfirmIneligible dialog;
        dialog.Start(path);
        EXPECT_EQ(dialog.Result, 3) << path.toStdString();
        EXPECT_TRUE(dialog.LabImgNew->text().isEmpty());
    }
    QImage large(4000, 3000, QImage::Format_RGB32);
    large.fill(Qt::darkCyan);
    const QString big = folder.file(u"big.png"_s);
    ASSERT_TRUE(large.save(big));
    FormConfirmIneligible dialog;
    dialog.Start(big);
    EXPECT_EQ(dialog.Result, 1);
    EXPECT_EQ(dialog.ImgNew->pixmap().size(), QSize(240, 180));
}

TEST(ConfirmDialogs, YesIsReturnNoIsEscapeAndTheCloseBox) {
    TempFolder folder;
    const QString dropped = folder.copySeed(u"cover-300.jpg"_s, u"d.jpg"_s);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        FormConfirmIneligible dialog;
        dialog.Start(dropped);
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dialog, key);
        EXPECT_EQ(dialog.Result, key == Qt::Key_Return ? 6 : 7);
    }
    FormConfirmReplace dialog;
    dialog.Start({}, dropped, dropped);
    dialog.show();
    dialog.close();
    EXPECT_EQ(dialog.Result, 7);
    FormConfirmReplace keys;
    keys.Start({}, dropped, dropped);
    keys.show();
    keys.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&keys));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier);
    QTest::qWait(150);
    EXPECT_EQ(keys.Result, 7);
}

class AnswerYes : public mainwindow::ModalRunner {
public:
    int asked = 0;
    QString title;
    void runModal(QDialog& dialog) override {
        ++asked;
        title = dialog.windowTitle();
        dynamic_cast<FormConfirmDrop&>(dialog).ButYes->click();
    }
};

class DropWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::SetRegistryFiles(
            {settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
        song = library.copySeed(u"seed.mp3"_s, u"Album/song.mp3"_s);
        window = mainwindow::StartMainWindow(ui.services(), [this] {
            return musiclibrary::openLibrary(library.path(), {data.path()});
        });
        ASSERT_TRUE(window);
        InstallArtworkCommands(*window, &runner);
        window->toolbarButton(mainwindow::keys::Step1)->click();
        ASSERT_EQ(window->session().Eligible.rowCount(), 1);
        window->session().Eligible.selectRow(0);
        window->show();
    }
    void TearDown() override {
        window.reset();
        support::ResetRegistryFiles();
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

    TempFolder library, data, settings;
    testing_support::ScriptedUi ui;
    AnswerYes runner;
    QString song;
    std::unique_ptr<mainwindow::FormMain> window;
};

TEST_F(DropWindowTest, ABrowsersPictureEndsAsFolderJpgAfterTheQuestion) {
    const QByteArray png =
        testing_support::readFile(testing_support::seedPath(u"cover-160x120.png"_s));
    QMimeData firefox;
    firefox.setData(u"text/x-moz-url"_s, "https://example.org/c.png\nCover");
    firefox.setUrls({QUrl(u"https://example.org/c.png"_s)});
    firefox.setText(u"https://example.org/c.png"_s);
    firefox.setData(u"application/x-moz-nativeimage"_s, png);
    firefox.setData(u"image/png"_s, png);

    ASSERT_NE(timerDnd(), nullptr);
    EXPECT_EQ(timerDnd()->interval(), 10);
    EXPECT_EQ(dragAndDrop(window->ListMain(0)->viewport(), firefox), Qt::CopyAction);
    EXPECT_TRUE(timerDnd()->isActive()) << "the work waits for the drag to be over";
    EXPECT_EQ(runner.asked, 0);
    QTest::qWait(100);
    EXPECT_EQ(runner.asked, 1);
    EXPECT_EQ(runner.title, u"Confirm replacing album art"_s);
    // Firefox offered only its own PNG encoding: Folder.jpg is a JPEG all the same.
    const QByteArray written = testing_support::readFile(library.file(u"Album/Folder.jpg"_s));
    EXPECT_TRUE(written.startsWith("\xFF\xD8\xFF"));
    EXPECT_EQ(QImage::fromData(written, "JPEG").size(), QSize(160, 120));
    EXPECT_EQ(window->session().Eligible.model().text(0, catalogue::ColumnDetail),
              u"Folder.JPG "_s);
}

TEST_F(DropWindowTest, EveryListedControlPassesItsDragsAndTextIsRefused) {
    const QString cover = library.copySeed(u"cover-300.jpg"_s, u"elsewhere/cover.jpg"_s);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(cover)});
    QMimeData text;
    text.setText(u"https://example.org/"_s);
    for (QWidget* control :
         std::initializer_list<QWidget*>{window.get(), window->ToolbarMain(), window->TabMain(),
                                         window->ListMain(1)->viewport(), window->ProgressMain()}) {
        EXPECT_EQ(dragAndDrop(control, text), Qt::IgnoreAction)
            << control->objectName().toStdString();
        EXPECT_EQ(dragAndDrop(control, files), Qt::CopyAction)
            << control->objectName().toStdString();
        timerDnd()->stop();
    }
}

} // namespace
