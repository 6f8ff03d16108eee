// The view filter dialog and the command that rebuilds the Eligible list
// from its choice.

#include "mainwindow/FilterCommand.h"
#include "mainwindow/FormFilter.h"
#include "mainwindow/ModalRunner.h"
#include "tests/common/DialogKeys.h"
#include "tests/mainwindow/SelectionFixture.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mainwindow;
using selection_testing::SessionBuilder;

namespace {

TEST(FormFilter, ArtTypesFollowsTheBoxesAndIgnoresHigherBits) {
    FormFilter dialog;
    dialog.setArtTypes(8 | 64);
    EXPECT_EQ(dialog.ArtTypes(), 72);
    dialog.setArtTypes(0x7FFFFF00 | 5);
    EXPECT_EQ(dialog.ArtTypes(), 5);
    dialog.setArtTypes(-1);
    EXPECT_EQ(dialog.ArtTypes(), 255);

    QTest::mouseClick(dialog.ButUncheckAll(), Qt::LeftButton);
    EXPECT_EQ(dialog.ArtTypes(), 0);
    QTest::mouseClick(dialog.ButCheckAll(), Qt::LeftButton);
    EXPECT_EQ(dialog.ArtTypes(), 255);
    dialog.CheckArtType(128)->click();
    EXPECT_EQ(dialog.ArtTypes(), 127);
}

// Return presses OK and Escape Cancel from every control of the active
// dialog, the other buttons included; the close box cancels.
TEST(FormFilter, ReturnAndEscapeFromEveryControlAndTheCloseBox) {
    FormFilter probe;
    ASSERT_TRUE(testing_support::ShowActive(probe));
    const auto controls = testing_support::FocusableControls(probe).size();
    ASSERT_EQ(controls, 12) << "eight boxes and four buttons";
    // The close box cancels; OK and Cancel are pressed by the user of the
    // command below.
    probe.close();
    EXPECT_EQ(probe.DialogResult(), FormFilter::ResultCancel);
    EXPECT_FALSE(probe.isVisible());
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        for (qsizetype index = 0; index < controls; ++index) {
            FormFilter dialog;
            dialog.setArtTypes(255);
            ASSERT_TRUE(testing_support::ShowActive(dialog));
            QWidget* control = testing_support::FocusableControls(dialog).at(index);
            SCOPED_TRACE(::testing::Message()
                         << control->objectName().toStdString() << " key " << key);
            control->setFocus(Qt::TabFocusReason);
            ASSERT_EQ(QApplication::focusWidget(), control);
            testing_support::PressOnFocus(dialog, key);
            EXPECT_EQ(dialog.DialogResult(),
                      key == Qt::Key_Escape ? FormFilter::ResultCancel : FormFilter::ResultOk);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(dialog.ArtTypes(), 255) << "no control took the key for itself";
        }
    }
}

// Plays the user: sees the dialog as the command prepared it, sets the
// boxes and presses a button.
class ScriptedFilterUser : public ModalRunner {
public:
    int32_t choose = 0;
    bool pressOk = true;
    int32_t shownWith = -1;

    void runModal(QDialog& dialog) override {
        auto& filter = dynamic_cast<FormFilter&>(dialog);
        shownWith = filter.ArtTypes();
        filter.setArtTypes(choose);
        (pressOk ? filter.ButOK() : filter.ButCancel())->click();
    }
};

class FilterCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        built.add(u"No art"_s, 1, 0);
        built.add(u"Embedded"_s, 1, 2);
        built.add(u"Folder"_s, 1, 4);
        built.add(u"Both"_s, 1, 6);
        built.add(u"Backup"_s, 1, 128);
    }
    bool run() {
        const FilterCommandEnvironment environment{
            .owner = nullptr,
            .runner = user,
            .placeDialog = [](QWidget*) {},
            .hooks = nullptr,
        };
        return DoMenu_FilterView(built.session, environment);
    }
    QStringList listedAlbums() const {
        QStringList albums;
        for (int row = 0; row < built.session.Eligible.rowCount(); ++row)
            albums.append(built.session.Eligible.model().text(row, catalogue::ColumnAlbum));
        return albums;
    }

    SessionBuilder built;
    ScriptedFilterUser user;
};

struct FilterCase {
    int32_t filter;
    QStringList listed;
};

class FilterChoiceTest : public FilterCommandTest,
                         public ::testing::WithParamInterface<FilterCase> {};

// The list is rebuilt even when the boxes are left as they were, and every
// row is checked; a song gone from the library since the scan is left out.
TEST_P(FilterChoiceTest, OkRebuildsTheEligibleListUnderTheChosenKinds) {
    user.choose = GetParam().filter;
    built.track(2)->name = u"Renamed"_s;
    EXPECT_TRUE(run());
    EXPECT_EQ(user.shownWith, 255);
    EXPECT_EQ(built.session.ViewFilter, GetParam().filter);
    EXPECT_EQ(listedAlbums(), GetParam().listed);
    EXPECT_EQ(built.checkedRows().size(), GetParam().listed.size());
    EXPECT_EQ(built.session.Counts.gEligibleSongs(), GetParam().listed.size());
}

INSTANTIATE_TEST_SUITE_P(Filter, FilterChoiceTest,
                         ::testing::Values(
                             // Nothing chosen: only the songs without any artwork.
                             FilterCase{0, {u"No art"_s}},
                             FilterCase{255, {u"Folder"_s, u"Both"_s, u"Backup"_s}},
                             FilterCase{128 | 2, {u"Both"_s, u"Backup"_s}}),
                         [](const ::testing::TestParamInfo<FilterCase>& info) {
                             return "Filter" + std::to_string(info.param.filter);
                         });

TEST_F(FilterCommandTest, CancelChangesNeitherTheFilterNorTheList) {
    built.session.ViewFilter = 4;
    user.choose = 0;
    user.pressOk = false;
    EXPECT_FALSE(run());
    EXPECT_EQ(user.shownWith, 4);
    EXPECT_EQ(built.session.ViewFilter, 4);
    EXPECT_EQ(built.session.Eligible.rowCount(), 5);
    EXPECT_TRUE(built.checkedRows().isEmpty());
}

} // namespace
