// Step 1 of the main window and the command-line scan agree, row for row,
// on the demonstration library: the window shows exactly what
// `quillmoth-cli scan` prints for the same library and engine data.

#include "mainwindow/CommandKeys.h"
#include "musiclibrary/DemoLibrary.h"
#include "tests/mainwindow/SeedLibraryWindowTest.h"

#include <QAbstractItemModel>
#include <QProcess>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
namespace keys = mainwindow::keys;

namespace {

// The rows of a song list as quillmoth-cli prints them: list name, the six
// column texts, then "1" or "0" for the check mark, tab-separated.
QStringList viewRows(const QTreeView& view, const QString& listName) {
    const QAbstractItemModel* model = view.model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList fields{listName};
        for (int column = 0; column < model->columnCount(); ++column)
            fields.append(model->index(row, column).data(Qt::DisplayRole).toString());
        const QVariant check = model->index(row, 0).data(Qt::CheckStateRole);
        fields.append(check.isValid() && check.value<Qt::CheckState>() == Qt::Checked ? u"1"_s
                                                                                      : u"0"_s);
        rows.append(fields.join(u'\t'));
    }
    return rows;
}

class DemoScanAgreementTest : public SeedLibraryWindowTest {
protected:
    // The lines quillmoth-cli prints for a scan of the demonstration library.
    QStringList cliScan(const QString& libraryFile) {
        QProcess process;
        process.start(QStringLiteral(QUILLMOTH_CLI),
                      {u"--library"_s, libraryFile, u"--data-folder"_s, data.path(), u"scan"_s});
        if (!process.waitForFinished(120000)) {
            ADD_FAILURE() << "quillmoth-cli did not finish";
            process.kill();
            return {};
        }
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }
};

} // namespace

TEST_F(DemoScanAgreementTest, StepOneShowsExactlyTheRowsTheCommandLineScanPrints) {
    const QString libraryFile = musiclibrary::buildDemoLibrary(library.path(), {data.path()});
    QStringList printed = cliScan(libraryFile);
    ASSERT_FALSE(printed.isEmpty());
    const QString counts = printed.takeLast();
    ASSERT_TRUE(counts.startsWith(u"counts\t"_s)) << counts.toStdString();

    startWindowOn(libraryFile);
    window->toolbarButton(keys::Step1)->click();
    ASSERT_EQ(window->busy(), 0);
    EXPECT_TRUE(ui.messages.shown.isEmpty());

    const QStringList eligible = viewRows(*window->ListMain(0), u"eligible"_s);
    const QStringList ineligible = viewRows(*window->ListMain(1), u"ineligible"_s);
    // Both sides found songs on both lists: agreement on empty lists would
    // prove nothing.
    ASSERT_FALSE(eligible.isEmpty());
    ASSERT_FALSE(ineligible.isEmpty());
    EXPECT_EQ(eligible + ineligible, printed);
    EXPECT_EQ(counts, u"counts\t%1\t%2"_s.arg(eligible.size()).arg(ineligible.size()));
}
