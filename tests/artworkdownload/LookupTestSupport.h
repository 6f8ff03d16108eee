#pragma once

// What the look-up tests share: a clock that waits by moving its own time
// on, and answers of the services written as their documentation shows
// them.

#include "artworkdownload/WebClient.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
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
    QString title = QStringLiteral("Kind of Blue");
    QString artist = QStringLiteral("Miles Davis");
};

// A release-group search answer ("fmt=json") holding the candidates; their
// texts are plain, so need no escaping.
inline QByteArray searchAnswer(const QList<Candidate>& candidates) {
    QStringList groups;
    for (const Candidate& c : candidates)
        groups.append(QStringLiteral(R"({"id": "%1", "score": %2, "count": 1, "title": "%3", )"
                                     R"("primary-type": "Album", "artist-credit": [{"name": )"
                                     R"("%4", "artist": {"id": )"
                                     R"("561d854a-6a28-4aa7-8c99-323e6ce46c2a", "name": "%4", )"
                                     R"("sort-name": "%4"}}], "releases": []})")
                          .arg(c.id)
                          .arg(c.score)
                          .arg(c.title, c.artist));
    return QStringLiteral(R"({"created": "2026-03-01T12:00:00.000Z", "count": %1, "offset": 0, )"
                          R"("release-groups": [%2]})")
        .arg(candidates.size())
        .arg(groups.join(u", "))
        .toUtf8();
}

} // namespace lookup_testing
