#include "catalogue/RowKey.h"

#include "catalogue/CatalogueSession.h"
#include "catalogue/RecordRow.h"
#include "catalogue/TrackCatalogue.h"

#include <array>

using namespace Qt::StringLiterals;

namespace catalogue {

namespace {

// Upper-case hexadecimal without leading zeros, negative values as their
// two's complement; written into out, returns the number of digits.
int writeHex(uint32_t value, char16_t* out) {
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::array<char16_t, 8> reversed{};
    int count = 0;
    do {
        reversed[static_cast<size_t>(count++)] = digits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    for (int i = 0; i < count; ++i)
        out[i] = reversed[static_cast<size_t>(count - 1 - i)];
    return count;
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// Reads "&H" and one to eight hexadecimal digits at the start of text, as a
// signed 32-bit value; false when there is no such number.
bool readHexHalf(QStringView text, int32_t& value) {
    if (!text.startsWith(u"&H", Qt::CaseInsensitive))
        return false;
    uint32_t result = 0;
    qsizetype digits = 0;
    for (qsizetype at = 2; at < text.size(); ++at) {
        const int digit = hexDigit(text.at(at));
        if (digit < 0)
            break;
        if (++digits > 8)
            return false;
        result = (result << 4) | static_cast<uint32_t>(digit);
    }
    if (digits == 0)
        return false;
    value = static_cast<int32_t>(result);
    return true;
}

} // namespace

QString RowKeyText(int32_t high, int32_t low, int32_t index, const QString& name) {
    // The scan makes one key per song: built in place, one allocation.
    std::array<char16_t, 40> head{};
    int length = 0;
    head[static_cast<size_t>(length++)] = u'&';
    head[static_cast<size_t>(length++)] = u'H';
    length += writeHex(static_cast<uint32_t>(high), head.data() + length);
    for (char16_t c : u",&H")
        if (c != 0)
            head[static_cast<size_t>(length++)] = c;
    length += writeHex(static_cast<uint32_t>(low), head.data() + length);
    head[static_cast<size_t>(length++)] = u';';
    const QByteArray number = QByteArray::number(index);
    for (char c : number)
        head[static_cast<size_t>(length++)] = static_cast<char16_t>(c);
    head[static_cast<size_t>(length++)] = u':';
    head[static_cast<size_t>(length++)] = u' ';

    QString key;
    key.reserve(length + name.size());
    key.append(QStringView(head.data(), length));
    key.append(name);
    return key;
}

QString MakeRowKey(musiclibrary::IiTunes& library, const musiclibrary::TrackPtr& track,
                   int32_t index) {
    if (!track)
        return {};
    int32_t high = 0;
    int32_t low = 0;
    library.GetITObjectPersistentIDs(track, high, low);
    return RowKeyText(high, low, index, track->Name());
}

int32_t RowCatalogueIndex(const QString& key) {
    const qsizetype semicolon = key.indexOf(u';');
    if (semicolon < 0)
        return 0;
    int64_t value = 0;
    for (qsizetype at = semicolon + 1; at < key.size(); ++at) {
        const char16_t c = key.at(at).unicode();
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        if (value > INT32_MAX)
            return 0; // no catalogue has that many records
    }
    return static_cast<int32_t>(value);
}

bool RowKeyIds(const QString& key, int32_t& high, int32_t& low) {
    const qsizetype comma = key.indexOf(u',');
    if (comma < 0)
        return false;
    const QStringView view(key);
    return readHexHalf(view.left(comma), high) && readHexHalf(view.mid(comma + 1), low);
}

musiclibrary::TrackPtr RowTrack(musiclibrary::IiTunes& library, const QString& key) {
    int32_t high = 0;
    int32_t low = 0;
    if (key.isEmpty() || !RowKeyIds(key, high, low))
        return nullptr;
    const qsizetype nameAt = key.indexOf(u": ");
    if (nameAt < 0)
        return nullptr;
    try {
        const musiclibrary::PlaylistPtr playlist = library.LibraryPlaylist();
        const musiclibrary::TrackCollectionPtr tracks = playlist ? playlist->Tracks() : nullptr;
        musiclibrary::TrackPtr track = tracks ? tracks->ItemByPersistentID(high, low) : nullptr;
        if (!track || QStringView(key).mid(nameAt + 2) != track->Name())
            return nullptr;
        return track;
    } catch (...) {
        // Deleted, renamed or moved since the scan: no longer available.
        return nullptr;
    }
}

musiclibrary::TrackPtr CatalogueTrack(musiclibrary::IiTunes& library,
                                      const TrackCatalogue& catalogue, int32_t index) {
    if (!catalogue.IsFilled(index))
        return nullptr;
    try {
        const musiclibrary::PlaylistPtr playlist = library.LibraryPlaylist();
        const musiclibrary::TrackCollectionPtr tracks = playlist ? playlist->Tracks() : nullptr;
        musiclibrary::TrackPtr track = tracks ? tracks->Item(index) : nullptr;
        if (!track || track->Name() != catalogue[index].Name)
            return nullptr;
        return track;
    } catch (...) {
        return nullptr;
    }
}

void AddEligibleRow(CatalogueSession& session, int32_t index, const musiclibrary::TrackPtr& track,
                    bool checked) {
    const TrackRecord* record = session.Catalogue.Record(index);
    if (!record)
        return;
    session.Counts.UpdateTabCounts(1, 0);
    QString key;
    try {
        if (session.Library)
            key = MakeRowKey(*session.Library, track, index);
    } catch (...) {
        // A row without key leads nowhere, which is what its song's
        // unreadable ids deserve.
    }
    session.Eligible.addRow(
        MakeSongRow(*record, ArtTypeNames(record->ArtTypes), std::move(key), checked));
}

} // namespace catalogue
