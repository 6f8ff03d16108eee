#pragma once

// What the look-up tests share: a clock that waits by moving its own time
// on, and answers of the services written as their documentation shows
// them.

#include "artworkdownload/WebClient.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QTimeZone>

namespace lookup_testing {

class ScriptedClock : public artworkdownload::PacingClock {
public:
    QDateTime time = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    QList<qint64> waits;
    QDateTime now() const override { return time; }
    void wait(qint64 milliseconds) override {
        waits.append(milliseconds);
        time = time.addMSecs(milliseconds);
    }
};

struct Candidate {
    QString id;
    int score = 100;
    QString title;
    QString artist;
};

// A release-group search answer ("fmt=json") holding the candidates.
inline QByteArray searchAnswer(const QList<Candidate>& candidates) {
    QJsonArray groups;
    for (const Candidate& c : candidates) {
        const QJsonObject artist{
            {QStringLiteral("id"), QStringLiteral("561d854a-6a28-4aa7-8c99-323e6ce46c2a")},
            {QStringLiteral("name"), c.artist},
            {QStringLiteral("sort-name"), c.artist}};
        groups.append(QJsonObject{{QStringLiteral("id"), c.id},
                                  {QStringLiteral("score"), c.score},
                                  {QStringLiteral("count"), 1},
                                  {QStringLiteral("title"), c.title},
                                  {QStringLiteral("primary-type"), QStringLiteral("Album")},
                                  {QStringLiteral("artist-credit"),
                                   QJsonArray{QJsonObject{{QStringLiteral("name"), c.artist},
                                                          {QStringLiteral("artist"), artist}}}},
                                  {QStringLiteral("releases"), QJsonArray{}}});
    }
    return QJsonDocument(
               QJsonObject{{QStringLiteral("created"), QStringLiteral("2026-03-01T12:00:00.000Z")},
                           {QStringLiteral("count"), int(candidates.size())},
                           {QStringLiteral("offset"), 0},
                           {QStringLiteral("release-groups"), groups}})
        .toJson(QJsonDocument::Compact);
}

} // namespace lookup_testing
