#include "musiclibrary/DemoLibrary.h"

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/LibraryState.h"
#include "musiclibrary/demo/SongTagWriter.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamWriter>

#include <vector>

namespace musiclibrary {

using namespace Qt::StringLiterals;

namespace {

// Where the demonstration library claims its songs lived on the machine it
// was exported from; opening it exercises the same relocation as a library
// file copied from another computer.
const QString oldMusicFolder = u"file://localhost/C:/Users/Demo/Music/Quillmoth%20Demo/"_s;
const QString musicSubfolder = u"Music"_s;
const QString wmpGuid = u"7A3C1E52-94B1-4C6F-9E8D-2B5F0A6C3D71"_s;

struct DemoSong {
    QString fileName; // empty: the track has no location
    QString title;
    QStringList pictures;    // seed images embedded, in order
    QString downloaded = {}; // seed image attached as downloaded artwork
    bool missing = false;    // listed, but its file is not created
};

struct FolderImage {
    QString fileName;
    QString seed;
};

struct DemoAlbum {
    QString artist;
    QString album;
    std::vector<DemoSong> songs;
    std::vector<FolderImage> images = {};
};

const std::vector<DemoAlbum>& demoAlbums() {
    static const std::vector<DemoAlbum> albums = {
        {u"Harbor Lights"_s,
         u"Tidewater"_s,
         {{u"01 Low Tide.mp3"_s, u"Low Tide"_s, {u"cover-300.jpg"_s}},
          {u"02 Salt and Rope.mp3"_s, u"Salt and Rope"_s, {u"cover-300.jpg"_s}},
          {u"03 Lantern Row.mp3"_s,
           u"Lantern Row"_s,
           {u"cover-600.jpg"_s, u"cover-160x120.png"_s, u"cover-48.bmp"_s}},
          {u"04 Breakwater.mp3"_s, u"Breakwater"_s, {u"cover-300.jpg"_s, u"cover-75.jpg"_s}},
          {{}, u"Harbor Radio (stream)"_s, {}}},
         {{u"Folder.jpg"_s, u"cover-300.jpg"_s}, {u"AlbumArtSmall.jpg"_s, u"cover-75.jpg"_s}}},
        {u"The Copper Kettles"_s,
         u"Steam & Whistle"_s,
         {{u"01 Boiling Point.m4a"_s, u"Boiling Point"_s, {u"cover-200.jpg"_s}},
          {u"02 Whistle Stop.m4a"_s, u"Whistle Stop"_s, {u"cover-160x120.png"_s}},
          {u"03 Pressure Valve.m4a"_s, u"Pressure Valve"_s, {}},
          {u"04 Brass Fittings.m4a"_s,
           u"Brass Fittings"_s,
           {u"cover-200.jpg"_s, u"cover-48.bmp"_s}}},
         {{u"AlbumArt_{"_s + wmpGuid + u"}_Large.jpg"_s, u"cover-600.jpg"_s},
          {u"AlbumArt_{"_s + wmpGuid + u"}_Small.jpg"_s, u"cover-75.jpg"_s},
          {u"Folder.jpg"_s, u"cover-200.jpg"_s}}},
        {u"Mira Solano"_s,
         u"Paper Moons"_s,
         {{u"01 Origami Sky.aiff"_s, u"Origami Sky"_s, {}},
          {u"02 Folded Light.aiff"_s, u"Folded Light"_s, {u"cover-600.jpg"_s}},
          {u"03 Crease.aiff"_s, u"Crease"_s, {}}},
         {{u"cover.png"_s, u"cover-160x120.png"_s},
          {u"back.bmp"_s, u"cover-48.bmp"_s},
          {u"scan.jpeg"_s, u"cover-300.jpg"_s},
          {u"backup.tmp"_s, u"cover-300.jpg"_s}}},
        {u"Low Orbit"_s,
         u"Signal Drift"_s,
         {{u"01 Uplink.mp3"_s, u"Uplink"_s, {}, u"cover-600.jpg"_s},
          {u"02 Telemetry.mp3"_s, u"Telemetry"_s, {}, u"cover-600.jpg"_s},
          {u"03 Dead Band.mp3"_s, u"Dead Band"_s, {u"cover-200.jpg"_s}, u"cover-300.jpg"_s},
          {u"04 Lost Transmission.mp3"_s, u"Lost Transmission"_s, {}, {}, true}}},
        {u"Quiet Rooms"_s,
         u"Empty Frames"_s,
         {{u"01 Bare Walls.mp3"_s, u"Bare Walls"_s, {}},
          {u"02 Dust Sheets.mp3"_s, u"Dust Sheets"_s, {}},
          {u"03 Open Window.wav"_s, u"Open Window"_s, {}}}},
        {u"Field Notes"_s,
         u"Recordings"_s,
         {{u"01 Morning Birds.ogg"_s, u"Morning Birds"_s, {}},
          {u"02 Rain on Tin.wav"_s, u"Rain on Tin"_s, {u"cover-75.jpg"_s}}}},
        {u"Northern Static"_s,
         u"Aurora Tapes"_s,
         {{u"01 Polar Night.mp3"_s, u"Polar Night"_s, {u"cover-600.jpg"_s}},
          {u"02 Magnetic North.m4a"_s, u"Magnetic North"_s, {u"cover-600.jpg"_s}},
          {u"03 Solar Wind.mp3"_s, u"Solar Wind"_s, {u"cover-600.jpg"_s}}},
         {{u"Folder.jpg"_s, u"cover-600.jpg"_s}}},
    };
    return albums;
}

// Persistent ids are fixed, so that a rebuilt demonstration keeps its
// downloaded artwork and the program's rows keep their keys. Every other one
// has its high bit set, as real ids often do.
quint64 demoPersistentId(int number) {
    return (number % 2 ? 0xC0FFEE0000000000ull : 0x1A2B3C4D00000000ull) + quint64(number);
}

class SeedFiles {
public:
    QByteArray bytes(const QString& name) {
        auto found = m_cache.find(name);
        if (found == m_cache.end()) {
            QFile file(u":/quillmoth/demo/"_s + name);
            if (!file.open(QIODevice::ReadOnly))
                throw LibraryError(
                    LibraryError::NotFound,
                    u"The sample file \"%1\" of the demonstration library is missing "
                    u"from the program."_s.arg(name));
            found = m_cache.insert(name, file.readAll());
        }
        return *found;
    }

private:
    QHash<QString, QByteArray> m_cache;
};

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw LibraryError(LibraryError::WriteFailed,
                           u"Cannot write \"%1\": %2."_s.arg(path, file.errorString()));
}

QString seedFor(const QString& fileName) {
    const QString extension = fileName.section(u'.', -1).toLower();
    return u"seed."_s + (extension == u"aif" ? u"aiff"_s : extension);
}

QString encodedRelativePath(const QStringList& parts) {
    QStringList encoded;
    for (const QString& part : parts)
        encoded.append(QString::fromLatin1(QUrl::toPercentEncoding(part)));
    return encoded.join(u'/');
}

void prepareFolder(const QString& folder) {
    QDir dir(folder);
    if (dir.exists()) {
        const bool empty =
            dir.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        if (!empty && !dir.exists(demoLibraryFileName()))
            throw LibraryError(LibraryError::InvalidArgument,
                               u"The folder \"%1\" holds other files and no demonstration library; "
                               u"it is left as it is."_s.arg(folder));
        if (!dir.removeRecursively())
            throw LibraryError(
                LibraryError::WriteFailed,
                u"Cannot remove the old demonstration library in \"%1\"."_s.arg(folder));
    }
    if (!QDir().mkpath(folder))
        throw LibraryError(LibraryError::WriteFailed,
                           u"Cannot create the folder \"%1\"."_s.arg(folder));
}

class LibraryFileWriter {
public:
    explicit LibraryFileWriter(QByteArray* out) : m_xml(out) {
        m_xml.setAutoFormatting(true);
        m_xml.writeStartDocument();
        m_xml.writeDTD(u"<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
                       u"\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"_s);
        m_xml.writeStartElement(u"plist"_s);
        m_xml.writeAttribute(u"version"_s, u"1.0"_s);
        m_xml.writeStartElement(u"dict"_s);
        value(u"Major Version"_s, u"integer"_s, u"1"_s);
        value(u"Application Version"_s, u"string"_s, u"Quillmoth demonstration"_s);
        value(u"Music Folder"_s, u"string"_s, oldMusicFolder);
    }

    void value(const QString& key, const QString& type, const QString& text) {
        m_xml.writeTextElement(u"key"_s, key);
        m_xml.writeTextElement(type, text);
    }
    void flag(const QString& key, bool on) {
        m_xml.writeTextElement(u"key"_s, key);
        m_xml.writeEmptyElement(on ? u"true"_s : u"false"_s);
    }
    void startDict(const QString& key) {
        m_xml.writeTextElement(u"key"_s, key);
        m_xml.writeStartElement(u"dict"_s);
    }
    void startArray(const QString& key) {
        m_xml.writeTextElement(u"key"_s, key);
        m_xml.writeStartElement(u"array"_s);
    }
    void startDict() { m_xml.writeStartElement(u"dict"_s); }
    void end() { m_xml.writeEndElement(); }
    void finish() { m_xml.writeEndDocument(); }

private:
    QXmlStreamWriter m_xml;
};

struct BuiltTrack {
    int trackId = 0;
    quint64 persistentId = 0;
    QString downloadedSeed;
};

void writePlaylist(LibraryFileWriter& xml, const QString& name, bool master,
                   const std::vector<int>& trackIds) {
    xml.startDict();
    xml.value(u"Name"_s, u"string"_s, name);
    if (master) {
        xml.flag(u"Master"_s, true);
        xml.flag(u"Visible"_s, false);
    }
    xml.startArray(u"Playlist Items"_s);
    for (int id : trackIds) {
        xml.startDict();
        xml.value(u"Track ID"_s, u"integer"_s, QString::number(id));
        xml.end();
    }
    xml.end();
    xml.end();
}

void attachDownloadedArtwork(const QString& libraryFile, const LibraryOptions& options,
                             const std::vector<BuiltTrack>& built, SeedFiles& seeds) {
    const ITunesPtr library = openLibrary(libraryFile, options);
    const TrackCollectionPtr tracks = library->LibraryPlaylist()->Tracks();
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw LibraryError(LibraryError::WriteFailed,
                           u"Cannot create a temporary folder for the demonstration library."_s);
    for (const BuiltTrack& track : built) {
        const TrackPtr item = tracks->ItemByPersistentID(int32_t(quint32(track.persistentId >> 32)),
                                                         int32_t(quint32(track.persistentId)));
        if (!track.downloadedSeed.isEmpty()) {
            const QString image = scratch.filePath(track.downloadedSeed);
            writeBytes(image, seeds.bytes(track.downloadedSeed));
            item->SetDownloadedArtworkFromFile(image);
            continue;
        }
        // A rebuild must not keep downloaded art that an earlier build or the
        // user attached to a track that has none in the demonstration.
        try {
            const ArtworkCollectionPtr artwork = item->Artwork();
            if (artwork->Count() == 1 && artwork->Item(1)->IsDownloadedArtwork())
                artwork->Item(1)->Delete();
        } catch (const LibraryError&) {
            // Tracks without a usable file have no artwork to clear.
        }
    }
}

} // namespace

QString demoLibraryFileName() {
    return u"Demo Library.xml"_s;
}

QString defaultDemoLibraryFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           u"/Tarnwick/Quillmoth/Demo Library"_s;
}

QString buildDemoLibrary(const QString& folder, const LibraryOptions& options) {
    const QString root = QDir::cleanPath(QDir(folder).absolutePath());
    prepareFolder(root);
    SeedFiles seeds;
    QByteArray xmlBytes;
    LibraryFileWriter xml(&xmlBytes);
    std::vector<BuiltTrack> built;
    std::vector<int> favourites;

    xml.startDict(u"Tracks"_s);
    int number = 0;
    for (const DemoAlbum& album : demoAlbums()) {
        const QString albumFolder =
            root + u'/' + musicSubfolder + u'/' + album.artist + u'/' + album.album;
        QDir().mkpath(albumFolder);
        for (const FolderImage& image : album.images)
            writeBytes(albumFolder + u'/' + image.fileName, seeds.bytes(image.seed));
        for (const DemoSong& song : album.songs) {
            ++number;
            const BuiltTrack track{1000 + number, demoPersistentId(number), song.downloaded};
            built.push_back(track);
            if (number % 5 == 1)
                favourites.push_back(track.trackId);
            if (!song.fileName.isEmpty() && !song.missing) {
                const QString path = albumFolder + u'/' + song.fileName;
                writeBytes(path, seeds.bytes(seedFor(song.fileName)));
                QList<QByteArray> pictures;
                for (const QString& picture : song.pictures)
                    pictures.append(seeds.bytes(picture));
                writeSongTags(
                    path, {song.title, album.artist, album.album, song.fileName.left(2).toInt()},
                    pictures);
            }
            xml.startDict(QString::number(track.trackId));
            xml.value(u"Track ID"_s, u"integer"_s, QString::number(track.trackId));
            xml.value(u"Name"_s, u"string"_s, song.title);
            xml.value(u"Artist"_s, u"string"_s, album.artist);
            xml.value(u"Album"_s, u"string"_s, album.album);
            if (song.fileName.isEmpty()) {
                xml.value(u"Kind"_s, u"string"_s, u"Internet audio stream"_s);
            } else {
                xml.value(u"Kind"_s, u"string"_s, kindForFileName(song.fileName));
                xml.value(u"Track Number"_s, u"integer"_s,
                          QString::number(song.fileName.left(2).toInt()));
                xml.value(u"Location"_s, u"string"_s,
                          oldMusicFolder + encodedRelativePath({musicSubfolder, album.artist,
                                                                album.album, song.fileName}));
            }
            xml.value(u"Persistent ID"_s, u"string"_s, persistentIdHex(track.persistentId));
            xml.end();
        }
    }
    xml.end();

    xml.startArray(u"Playlists"_s);
    std::vector<int> everything;
    for (const BuiltTrack& track : built)
        everything.push_back(track.trackId);
    writePlaylist(xml, u"Library"_s, true, everything);
    writePlaylist(xml, u"Demo Favourites"_s, false, favourites);
    xml.end();
    xml.finish();

    const QString libraryFile = root + u'/' + demoLibraryFileName();
    QSaveFile file(libraryFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(xmlBytes) != xmlBytes.size() ||
        !file.commit())
        throw LibraryError(LibraryError::WriteFailed,
                           u"Cannot write \"%1\": %2."_s.arg(libraryFile, file.errorString()));
    attachDownloadedArtwork(libraryFile, options, built, seeds);
    return libraryFile;
}

} // namespace musiclibrary
