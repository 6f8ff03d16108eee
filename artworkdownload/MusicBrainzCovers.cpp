#include "artworkdownload/MusicBrainzCovers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace artworkdownload {

namespace {

const QString NoneAnswer = u"none"_s;
const QString AmbiguousAnswer = u"ambiguous"_s;

QString withoutTrailingSlash(QString address) {
    address = address.trimmed();
    while (address.endsWith(u'/'))
        address.chop(1);
    return address;
}

// Inside a quoted phrase of the search syntax only the quote and the
// backslash are special.
QString quotedPhrase(const QString& text) {
    QString escaped = text;
    escaped.replace(u"\\"_s, u"\\\\"_s);
    escaped.replace(u"\""_s, u"\\\""_s);
    return u'"' + escaped + u'"';
}

QString artistCredit(const QJsonArray& credits) {
    QString text;
    for (const QJsonValue& credit : credits) {
        const QJsonObject part = credit.toObject();
        text += part.value(u"name"_s).toString() + part.value(u"joinphrase"_s).toString();
    }
    return text;
}

QString notFoundText(const AlbumQuery& album) {
    return u"MusicBrainz knows no release group \"%1\" by %2."_s.arg(album.album, album.artist);
}

QString ambiguousText(const AlbumQuery& album) {
    return u"MusicBrainz has more than one release group \"%1\" by %2 that fits equally well; "
           u"none was taken."_s.arg(album.album, album.artist);
}

} // namespace

bool IsMusicBrainzId(const QString& text) {
    static const QRegularExpression pattern(
        u"^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"_s);
    return pattern.match(text).hasMatch();
}

QString NormalisedName(const QString& text) {
    const QString folded = text.normalized(QString::NormalizationForm_KD).toCaseFolded();
    QString result;
    bool gap = false;
    for (const QChar c : folded) {
        if (c.isLetterOrNumber()) {
            if (gap && !result.isEmpty())
                result += u' ';
            result += c;
            gap = false;
        } else if (c.category() != QChar::Mark_NonSpacing) {
            gap = true;
        }
    }
    return result;
}

SearchChoice ChooseReleaseGroup(const QByteArray& answer, const QString& artist,
                                const QString& album) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(answer, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {SearchChoice::Malformed, {}, u"not a JSON object"_s};
    const QJsonValue groups = document.object().value(u"release-groups"_s);
    if (!groups.isArray())
        return {SearchChoice::Malformed, {}, u"no list of release groups"_s};

    const QString wantedTitle = NormalisedName(album);
    const QString wantedArtist = NormalisedName(artist);
    int bestScore = -1;
    QStringList best;
    for (const QJsonValue& value : groups.toArray()) {
        if (!value.isObject())
            return {SearchChoice::Malformed, {}, u"a release group that is no object"_s};
        const QJsonObject group = value.toObject();
        const QString id = group.value(u"id"_s).toString();
        const QJsonValue scoreValue = group.value(u"score"_s);
        // Older answers give the score as text.
        bool ok = scoreValue.isDouble();
        int score = scoreValue.toInt();
        if (scoreValue.isString())
            score = scoreValue.toString().toInt(&ok);
        if (!IsMusicBrainzId(id) || !ok)
            return {SearchChoice::Malformed, {}, u"a release group without id or score"_s};
        if (score < ConfidentScore ||
            NormalisedName(group.value(u"title"_s).toString()) != wantedTitle ||
            NormalisedName(artistCredit(group.value(u"artist-credit"_s).toArray())) != wantedArtist)
            continue;
        if (score > bestScore) {
            bestScore = score;
            best = {id};
        } else if (score == bestScore && !best.contains(id)) {
            best.append(id);
        }
    }
    if (best.isEmpty())
        return {SearchChoice::NoMatch, {}, {}};
    if (best.size() > 1)
        return {SearchChoice::Ambiguous, {}, {}};
    return {SearchChoice::Match, best.first(), {}};
}

MusicBrainzCovers::MusicBrainzCovers(DownloadSettings settings, PacingClock& clock,
                                     LookupCache* cache, WebOptions options)
    : m_settings(std::move(settings)), m_cache(cache), m_web(clock, options),
      m_musicBrainzPacer(clock, MusicBrainzIntervalMilliseconds) {
    m_settings.musicBrainzAddress = withoutTrailingSlash(m_settings.musicBrainzAddress);
    m_settings.coverArtArchiveAddress = withoutTrailingSlash(m_settings.coverArtArchiveAddress);
    if (NormalCoverSize(m_settings.size).isEmpty())
        m_settings.size = DefaultCoverSize;
}

QString MusicBrainzCovers::problemWithAddresses() const {
    for (const QString& address :
         {m_settings.musicBrainzAddress, m_settings.coverArtArchiveAddress}) {
        if (const QString problem = AddressProblem(QUrl(address)); !problem.isEmpty())
            return u"Nothing was sent: "_s + problem;
    }
    return {};
}

CoverAnswer MusicBrainzCovers::FrontCover(const AlbumQuery& album) {
    if (const QString problem = problemWithAddresses(); !problem.isEmpty())
        return {CoverOutcome::Failed, {}, {}, problem};
    CoverAnswer answer;
    bool tried = false;
    if (IsMusicBrainzId(album.releaseId)) {
        answer = coverOf(u"release/"_s + album.releaseId);
        tried = true;
        if (answer.outcome != CoverOutcome::NotFound)
            return answer;
    }
    // A release without art of its own may still have its group's cover.
    if (IsMusicBrainzId(album.releaseGroupId))
        return coverOf(u"release-group/"_s + album.releaseGroupId);
    if (tried)
        return answer;
    return search(album);
}

CoverAnswer MusicBrainzCovers::search(const AlbumQuery& album) {
    if (album.artist.trimmed().isEmpty() || album.album.trimmed().isEmpty())
        return {CoverOutcome::NotFound,
                {},
                {},
                u"The songs name no artist and album title to search for."_s};
    const QString key =
        u"search\t"_s + NormalisedName(album.artist) + u'\t' + NormalisedName(album.album);
    std::optional<QString> kept = m_cache ? m_cache->find(key) : std::nullopt;
    if (!kept) {
        QUrl url(m_settings.musicBrainzAddress + u"/ws/2/release-group/"_s);
        QUrlQuery query;
        query.addQueryItem(u"query"_s, u"releasegroup:"_s + quotedPhrase(album.album) +
                                           u" AND artist:"_s + quotedPhrase(album.artist));
        query.addQueryItem(u"fmt"_s, u"json"_s);
        query.addQueryItem(u"limit"_s, u"10"_s);
        url.setQuery(query);
        const WebAnswer web = m_web.get(url, &m_musicBrainzPacer, MaxSearchAnswerBytes);
        if (!web.failure.isEmpty())
            return {CoverOutcome::Failed, {}, {}, web.failure};
        if (web.status != 200)
            return {CoverOutcome::Failed,
                    {},
                    {},
                    u"MusicBrainz answered the search with status %1."_s.arg(web.status)};
        const SearchChoice choice = ChooseReleaseGroup(web.body, album.artist, album.album);
        switch (choice.kind) {
        case SearchChoice::Malformed:
            return {
                CoverOutcome::Failed,
                {},
                {},
                u"MusicBrainz sent an answer that is not what its interface documents (%1)."_s.arg(
                    choice.detail)};
        case SearchChoice::NoMatch:
            kept = NoneAnswer;
            break;
        case SearchChoice::Ambiguous:
            kept = AmbiguousAnswer;
            break;
        case SearchChoice::Match:
            kept = u"release-group/"_s + choice.releaseGroupId;
            break;
        }
        if (m_cache)
            m_cache->store(key, *kept);
    }
    if (*kept == AmbiguousAnswer)
        return {CoverOutcome::NotFound, {}, {}, ambiguousText(album)};
    if (!kept->startsWith(u"release-group/"_s) ||
        !IsMusicBrainzId(kept->mid(QStringLiteral("release-group/").size())))
        return {CoverOutcome::NotFound, {}, {}, notFoundText(album)};
    return coverOf(*kept);
}

CoverAnswer MusicBrainzCovers::coverOf(const QString& release) {
    const QString front =
        m_settings.size == u"original" ? u"front"_s : u"front-"_s + m_settings.size;
    const QString key = u"cover\t"_s + release + u'\t' + front;
    const QString noCover = u"The Cover Art Archive has no front cover for %1."_s.arg(release);
    if (m_cache && m_cache->find(key) == NoneAnswer)
        return {CoverOutcome::NotFound, release, {}, noCover};
    const QUrl url(m_settings.coverArtArchiveAddress + u'/' + release + u'/' + front);
    const WebAnswer web = m_web.get(url, nullptr, MaxCoverBytes);
    if (!web.failure.isEmpty())
        return {CoverOutcome::Failed, release, {}, web.failure};
    if (web.status == 404) {
        if (m_cache)
            m_cache->store(key, NoneAnswer);
        return {CoverOutcome::NotFound, release, {}, noCover};
    }
    if (web.status != 200)
        return {CoverOutcome::Failed,
                release,
                {},
                u"The Cover Art Archive answered with status %1 for %2."_s.arg(web.status)
                    .arg(release)};
    return {CoverOutcome::Found, release, web.body, {}};
}

} // namespace artworkdownload
