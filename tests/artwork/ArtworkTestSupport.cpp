#include "tests/artwork/ArtworkTestSupport.h"

#include "catalogue/LibraryScan.h"
#include "catalogue/PathOps.h"
#include "catalogue/RowKey.h"
#include "musiclibrary/AudioFileIO.h"
#include "tests/common/TestFiles.h"

#include <QStandardPaths>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace testing_support {

namespace {

QByteArray chunk(const QByteArray& type, const QByteArray& payload) {
    QByteArray out(4, '\0');
    qToBigEndian(quint32(payload.size()), out.data());
    const QByteArray body = type + payload;
    QByteArray crc(4, '\0');
    qToBigEndian(crc32Of(body), crc.data());
    return out + body + crc;
}

} // namespace

QByteArray truncatedJpeg() {
    const QByteArray whole = readFile(seedPath(u"cover-600.jpg"_s));
    return whole.left(whole.size() / 2);
}

QByteArray pngDeclaring(quint32 width, quint32 height) {
    QByteArray header(13, '\0');
    qToBigEndian(width, header.data());
    qToBigEndian(height, header.data() + 4);
    header[8] = 8; // bit depth
    header[9] = 2; // truecolour
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + chunk("IHDR", header) +
           chunk("IDAT", QByteArray("\x78\x9C\x03\x00\x00\x00\x00\x01", 8)) + chunk("IEND", {});
}

QList<BadImage> badImages() {
    return {{"a web page", "<html>not found</html>", u"not a JPEG, PNG or BMP image"_s},
            {"an empty file", {}, u"is empty"_s},
            {"a cut-short JPEG", truncatedJpeg(), u"cut short"_s},
            {"a decompression bomb", pngDeclaring(100000, 100000), u"impossible size"_s}};
}

QString trashRoot() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Trash"_s;
}

ArtworkLibraryTest::~ArtworkLibraryTest() {
    session.UnInit();
}

QString ArtworkLibraryTest::song(const QString& relative, const QStringList& pictures,
                                 const QString& title) {
    const QString name = title.isEmpty() ? QFileInfo(relative).completeBaseName() : title;
    return makeSong(music(), relative, {name, u"Artist"_s, QFileInfo(relative).path(), 1},
                    pictures);
}

QString ArtworkLibraryTest::image(const QString& seed, const QString& relative) {
    return music().copySeed(seed, relative);
}

QString ArtworkLibraryTest::imageBytes(const QByteArray& bytes, const QString& relative) {
    const QString path = music().file(relative);
    writeFile(path, bytes);
    return path;
}

void ArtworkLibraryTest::scan(catalogue::ArtTypes filter) {
    session.UnInit();
    library = openMusic();
    session.Kinds.Build();
    ASSERT_TRUE(session.Init([this] { return library; }));
    session.ViewFilter = filter;
    catalogue::ScanEnvironment scanEnvironment{progress, ui.services()};
    catalogue::ScanLibrary(session, scanEnvironment);
    ui.messages.shown.clear();
    ui.events.calls = 0;
    progress.doneCalls = 0;
}

musiclibrary::TrackPtr ArtworkLibraryTest::track(const QString& location) {
    for (const musiclibrary::TrackPtr& candidate : allTracks(*library))
        if (candidate->Location() == location)
            return candidate;
    ADD_FAILURE() << "no track at " << location.toStdString();
    return nullptr;
}

int ArtworkLibraryTest::eligibleRow(const QString& location) const {
    const catalogue::SongListModel& model = session.Eligible.model();
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.text(row, catalogue::ColumnFullPath) == location)
            return row;
    return -1;
}

void ArtworkLibraryTest::checkOnly(const QStringList& locations) {
    catalogue::SongListModel& model = session.Eligible.model();
    for (int row = 0; row < model.rowCount(); ++row)
        model.setChecked(row, locations.contains(model.text(row, catalogue::ColumnFullPath)));
}

QList<QByteArray> ArtworkLibraryTest::picturesOf(const QString& location) {
    QList<QByteArray> data;
    for (const musiclibrary::Picture& picture : musiclibrary::readPictures(location))
        data.append(picture.data);
    return data;
}

QByteArray ArtworkLibraryTest::seed(const char* name) {
    return readFile(seedPath(QString::fromLatin1(name)));
}

artwork::EmbeddingEngine& ArtworkLibraryTest::engine() {
    if (!m_engine)
        m_engine =
            std::make_unique<artwork::EmbeddingEngine>(&ui.messages, &session.CancelRequested);
    return *m_engine;
}

} // namespace testing_support
