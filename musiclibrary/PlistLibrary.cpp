#include "musiclibrary/PlistLibrary.h"

#include "musiclibrary/ITunes.h"

#include <QFile>
#include <QLocale>
#include <QXmlStreamReader>

namespace musiclibrary {

namespace {

using namespace Qt::StringLiterals;

// One "Persistent ID" is 64 bits written as 16 hexadecimal digits.
constexpr int persistentIdDigits = 16;

class Reader {
public:
    Reader(QIODevice* device, const QString& path, const PlistLimits& limits)
        : m_xml(device), m_path(path), m_limits(limits) {}

    PlistLibrary read() {
        PlistLibrary library;
        if (!m_xml.readNextStartElement() || m_xml.name() != u"plist")
            fail(u"it is not a property list"_s);
        if (!m_xml.readNextStartElement() || m_xml.name() != u"dict")
            fail(u"its property list holds no dictionary"_s);
        bool sawTracks = false;
        forEachKey([&](const QString& key) {
            if (key == u"Music Folder" && m_xml.name() == u"string") {
                library.musicFolder = m_xml.readElementText();
            } else if (key == u"Tracks" && m_xml.name() == u"dict") {
                sawTracks = true;
                readTracks(library.tracks);
            } else if (key == u"Playlists" && m_xml.name() == u"array") {
                readPlaylists(library.playlists);
            } else {
                m_xml.skipCurrentElement();
            }
        });
        if (m_xml.hasError())
            fail(m_xml.errorString());
        if (!sawTracks)
            fail(u"it holds no \"Tracks\" list"_s);
        return library;
    }

private:
    [[noreturn]] void fail(const QString& reason) const {
        throw LibraryError(LibraryError::Unreadable,
                           u"The library file \"%1\" cannot be read: %2 (line %3)."_s.arg(
                               m_path, reason, QString::number(m_xml.lineNumber())));
    }

    // Calls handle(key) with the reader on the start of each key's value; the
    // handler must consume the value (read its text or skip it).
    template <typename Handler> void forEachKey(Handler handle) {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"key")
                fail(u"a dictionary entry has no key"_s);
            const QString key = readText();
            if (!m_xml.readNextStartElement())
                fail(u"the key \"%1\" has no value"_s.arg(key));
            handle(key);
        }
        if (m_xml.hasError())
            fail(m_xml.errorString());
    }

    QString readText() {
        if (m_xml.name() == u"dict" || m_xml.name() == u"array") {
            m_xml.skipCurrentElement();
            return {};
        }
        // Read piece by piece so that an endless value is refused before
        // it is all kept; child elements are skipped as XML text allows none.
        QString text;
        while (!m_xml.atEnd()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::Characters:
            case QXmlStreamReader::EntityReference:
                if (text.size() + m_xml.text().size() > m_limits.valueLength)
                    fail(u"a value is longer than %1 characters"_s.arg(m_limits.valueLength));
                text += m_xml.text();
                break;
            case QXmlStreamReader::StartElement:
                m_xml.skipCurrentElement();
                break;
            case QXmlStreamReader::EndElement:
                return text;
            default:
                break;
            }
        }
        return text; // the caller reports the reader's error
    }

    bool readBool() {
        const bool value = m_xml.name() == u"true";
        m_xml.skipCurrentElement();
        return value;
    }

    void readTracks(QList<PlistTrack>& tracks) {
        forEachKey([&](const QString& trackId) {
            if (m_xml.name() != u"dict") {
                m_xml.skipCurrentElement();
                return;
            }
            if (tracks.size() >= m_limits.tracks)
                fail(u"it lists more than %1 tracks"_s.arg(m_limits.tracks));
            PlistTrack track;
            track.trackId = trackId;
            forEachKey([&](const QString& key) { readTrackValue(key, track); });
            tracks.append(std::move(track));
        });
    }

    void readTrackValue(const QString& key, PlistTrack& track) {
        if (key == u"Name") {
            track.name = readText();
        } else if (key == u"Artist") {
            track.artist = readText();
        } else if (key == u"Album") {
            track.album = readText();
        } else if (key == u"Kind") {
            track.kind = readText();
        } else if (key == u"Location") {
            track.location = readText();
        } else if (key == u"Track Number") {
            bool ok = false;
            const int number = readText().trimmed().toInt(&ok);
            track.trackNumber = ok ? number : 0;
        } else if (key == u"Persistent ID") {
            const QString hex = readText().trimmed();
            bool ok = false;
            const quint64 id = hex.toULongLong(&ok, 16);
            if (ok && hex.size() <= persistentIdDigits && id != 0) {
                track.persistentId = id;
                track.hasPersistentId = true;
            }
        } else {
            m_xml.skipCurrentElement();
        }
    }

    void readPlaylists(QList<PlistPlaylist>& playlists) {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"dict") {
                m_xml.skipCurrentElement();
                continue;
            }
            if (++m_playlists > m_limits.playlists)
                fail(u"it lists more than %1 playlists"_s.arg(m_limits.playlists));
            PlistPlaylist playlist;
            bool special = false;
            forEachKey([&](const QString& key) {
                if (key == u"Name") {
                    playlist.name = readText();
                } else if (key == u"Master" || key == u"Folder") {
                    special = readBool() || special;
                } else if (key == u"Visible") {
                    special = !readBool() || special;
                } else if (key == u"Distinguished Kind") {
                    special = true;
                    m_xml.skipCurrentElement();
                } else if (key == u"Playlist Items" && m_xml.name() == u"array") {
                    readPlaylistItems(playlist.trackIds);
                } else {
                    m_xml.skipCurrentElement();
                }
            });
            if (!special)
                playlists.append(std::move(playlist));
        }
        if (m_xml.hasError())
            fail(m_xml.errorString());
    }

    void readPlaylistItems(QStringList& trackIds) {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"dict") {
                m_xml.skipCurrentElement();
                continue;
            }
            forEachKey([&](const QString& key) {
                if (key == u"Track ID") {
                    if (++m_playlistEntries > m_limits.playlistEntries)
                        fail(u"its playlists list more than %1 tracks"_s.arg(
                            m_limits.playlistEntries));
                    trackIds.append(readText().trimmed());
                } else
                    m_xml.skipCurrentElement();
            });
        }
    }

    QXmlStreamReader m_xml;
    QString m_path;
    PlistLimits m_limits;
    qsizetype m_playlists = 0;
    qsizetype m_playlistEntries = 0;
};

} // namespace

bool looksLikePlist(const QByteArray& head) {
    return head.contains("<?xml") || head.contains("<plist") || head.contains("<!DOCTYPE plist");
}

PlistLibrary readPlistLibrary(const QString& path, const PlistLimits& limits) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw LibraryError(
            LibraryError::Unreadable,
            u"The library file \"%1\" cannot be opened: %2."_s.arg(path, file.errorString()));
    if (file.size() > limits.fileSize)
        throw LibraryError(LibraryError::Unreadable,
                           u"The library file \"%1\" cannot be read: it is larger than %2."_s.arg(
                               path, QLocale::c().formattedDataSize(limits.fileSize, 0)));
    Reader reader(&file, path, limits);
    return reader.read();
}

} // namespace musiclibrary
