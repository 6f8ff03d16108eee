#pragma once

// Real libraries for the artwork runs: songs and folder images made from
// the seed files, scanned into a session as Step 1 does, with scripted
// message boxes and events and a view that records what it was asked.

#include "artwork/ArtworkRun.h"
#include "artwork/EmbeddingEngine.h"
#include "catalogue/CatalogueSession.h"
#include "catalogue/CheckedRowRun.h"
#include "catalogue/ProgressPanel.h"
#include "tests/common/ScriptedUi.h"
#include "tests/musiclibrary/LibraryTestSupport.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <utility>

namespace testing_support {

// Images that must never get into a song.
QByteArray truncatedJpeg(); // a real JPEG cut in half: its header is intact
QByteArray pngDeclaring(quint32 width, quint32 height); // a valid PNG header over no real picture

// Every kind of file a song must never take, with the words of its refusal.
struct BadImage {
    const char* name;
    QByteArray bytes;
    QString reason;
};
QList<BadImage> badImages();

// The Trash of the test's own data home, where overwritten files go.
QString trashRoot();

// A view that records the run's requests.
class RecordingView : public catalogue::RunView {
public:
    int tab = catalogue::TAB_ELIGIBLE;
    int rowsVisible = 12;
    QList<int> scrolledRows;
    int currentTab() const override { return tab; }
    int gridRowsVisible() const override { return rowsVisible; }
    void scrollToRow(int, int row) override { scrolledRows.append(row); }
    void showSelectedRow(int) override {}
    void refreshList(int) override {}
};

class ArtworkLibraryTest : public LibraryTest {
protected:
    ~ArtworkLibraryTest() override;

    // An MP3 (or the kind relative ends in) with the seed images embedded.
    QString song(const QString& relative, const QStringList& pictures = {},
                 const QString& title = {});
    // A seed image (or the given bytes) as a file of the music folder.
    QString image(const QString& seed, const QString& relative);
    QString imageBytes(const QByteArray& bytes, const QString& relative);

    // Opens the library and scans it into the session; every eligible row
    // starts checked.
    void scan(catalogue::ArtTypes filter = catalogue::ViewFilterDefault);
    musiclibrary::TrackPtr track(const QString& location);
    // The Eligible row of the song at location, -1 when it has none.
    int eligibleRow(const QString& location) const;
    // Checks exactly the Eligible rows of the given songs.
    void checkOnly(const QStringList& locations);
    QList<QByteArray> picturesOf(const QString& location);

    catalogue::RunEnvironment environment() { return {progress, ui.services(), &view}; }
    artwork::EmbeddingEngine& engine();
    static QByteArray seed(const char* name);

    // Calls run with a context over the session that collects each row's
    // report in rows.
    template <typename Run> auto overRows(Run run) {
        catalogue::RunEnvironment runEnvironment = environment();
        artwork::ArtworkRunContext context{
            session, runEnvironment, [this](const artwork::RowReport& row) { rows.append(row); }};
        return run(context);
    }

    ScriptedUi ui;
    catalogue::RecordingProgressPanel progress;
    RecordingView view;
    catalogue::CatalogueSession session;
    musiclibrary::ITunesPtr library;
    QList<artwork::RowReport> rows;

private:
    std::unique_ptr<artwork::EmbeddingEngine> m_engine;
};

} // namespace testing_support
