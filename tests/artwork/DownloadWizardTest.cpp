// The two one-page wizards of downloaded artwork.

#include "artwork/FormWizardDownloads.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace artwork;

namespace {

TEST(DownloadWizards, TextsStatusAndTheirButtons) {
    FormWizardCreatePlaylist playlist([] { return 4; });
    playlist.Init();
    EXPECT_EQ(playlist.windowTitle(), u"Create Playlist of Artwork to Download Wizard"_s);
    EXPECT_EQ(playlist.LabStepDesc()->text(), u"Step 1: Welcome"_s);
    EXPECT_TRUE(playlist.LabWithPlaylistName->text().contains(
        u"an iTunes playlist called 'Quillmoth - download artwork'. (There is no harm"_s));
    EXPECT_FALSE(playlist.LabWithPlaylistName->text().contains(u"%"_s));
    EXPECT_EQ(playlist.LabStep1NextStep->text(),
              u"Click Go! below to create the iTunes playlist, or click Cancel to exit the "
              u"wizard."_s);
    EXPECT_EQ(playlist.ButNext()->text(), u"&Go!"_s);
    EXPECT_TRUE(playlist.ButNext()->isEnabled());
    EXPECT_FALSE(playlist.ButBack()->isVisible());

    FormWizardEmbedDownloadedArtwork embed([] { return 4; });
    embed.Init();
    EXPECT_EQ(embed.windowTitle(), u"Embed Downloaded Artwork Wizard"_s);
    EXPECT_EQ(embed.LabStep1NextStep->text(),
              u"Click Go! below to begin embedding downloaded album cover art, or click Cancel to "
              u"exit the wizard."_s);

    const QList<std::pair<int, QString>> refused{
        {1, u"Please select the Eligible Songs tab and review the check marked songs before "
            u"running this wizard."_s},
        {2, u"Please click the Step 1: Scan iTunes button before running this wizard."_s},
        {3, u"Please place a check mark by at least one song before running this wizard."_s}};
    for (const auto& [status, text] : refused) {
        FormWizardEmbedDownloadedArtwork wizard([status] { return status; });
        wizard.Init();
        EXPECT_EQ(wizard.LabStep1Status->text(), text);
        EXPECT_EQ(wizard.LabStep1NextStep->text(), u"Click Cancel to exit the wizard."_s);
        EXPECT_FALSE(wizard.ButNext()->isEnabled());
        EXPECT_EQ(wizard.focusWidget(), wizard.ButCancel());
    }
}

TEST(DownloadWizards, ReturnIsGoEscapeIsCancelAndTheCloseBoxIsRefused) {
    FormWizardCreatePlaylist wizard([] { return 4; });
    wizard.Init();
    wizard.show();
    wizard.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard));
    EXPECT_FALSE(wizard.close());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(wizard.Result(), WizardForm::ResultGo);

    FormWizardEmbedDownloadedArtwork other([] { return 4; });
    other.Init();
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(other.Result(), WizardForm::ResultCancel);
}

TEST(DownloadWizards, GetAlbumArtworkOffersTheSizesAndStartsOnTheStoredOne) {
    FormWizardGetAlbumArtwork wizard([] { return 4; }, u"1200"_s);
    wizard.Init();
    EXPECT_EQ(wizard.windowTitle(), u"Get Album Artwork Wizard"_s);
    EXPECT_EQ(wizard.LabStepDesc()->text(), u"Step 1: Welcome"_s);
    EXPECT_EQ(wizard.LabStep1NextStep->text(),
              u"Click Go! below to get album cover artwork for the songs of the playlist, or "
              u"click Cancel to exit the wizard."_s);
    EXPECT_EQ(wizard.ButNext()->text(), u"&Go!"_s);
    EXPECT_TRUE(wizard.ButNext()->isEnabled());
    EXPECT_TRUE(wizard.OptSize[2]->isChecked());
    EXPECT_EQ(wizard.Size(), u"1200"_s);
    const QStringList expected{u"250"_s, u"500"_s, u"1200"_s, u"original"_s};
    for (int i = 0; i < 4; ++i) {
        wizard.OptSize[size_t(i)]->setChecked(true);
        EXPECT_EQ(wizard.Size(), expected[i]);
    }

    FormWizardGetAlbumArtwork unknown([] { return 3; }, u"giant"_s);
    unknown.Init();
    EXPECT_EQ(unknown.Size(), u"500"_s) << "an unknown stored size starts on the default";
    EXPECT_FALSE(unknown.ButNext()->isEnabled());
    EXPECT_EQ(unknown.LabStep1Status->text(),
              u"Please place a check mark by at least one song before running this wizard."_s);
}

TEST(DownloadWizards, GetAlbumArtworkWorksFromTheKeyboard) {
    FormWizardGetAlbumArtwork wizard([] { return 4; }, u"500"_s);
    wizard.Init();
    wizard.show();
    wizard.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard));
    // A radio button's & key clicks it after a short animation.
    const auto altKey = [](Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        QTest::qWait(150);
    };
    altKey(Qt::Key_O);
    EXPECT_EQ(wizard.Size(), u"original"_s);
    altKey(Qt::Key_2);
    EXPECT_EQ(wizard.Size(), u"250"_s);
    altKey(Qt::Key_1);
    EXPECT_EQ(wizard.Size(), u"1200"_s);
    EXPECT_FALSE(wizard.close());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(wizard.Result(), WizardForm::ResultGo);
}

} // namespace
