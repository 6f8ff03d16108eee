#pragma once

// Plain GET requests to the web services, kept to their rules: a
// User-Agent that names the program, a time limit on every request, a
// pause when the service asks for one (503 with Retry-After), redirects
// followed over https only, and answers no larger than the caller allows.
// Requests run in a local event loop, so the window stays alive (the Stop
// button included) and a test's server in the same thread answers.

#include "support/UiServices.h"

#include <QByteArray>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

namespace artworkdownload {

// The clock the pacing reads, and the way it waits. The program waits with
// events running; tests move their own time on instead of waiting.
class PacingClock : public support::Clock {
public:
    virtual void wait(qint64 milliseconds) = 0;
};

class EventLoopClock : public PacingClock {
public:
    QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }
    void wait(qint64 milliseconds) override;
};

// At most one request per interval to one service.
class Pacer {
public:
    Pacer(PacingClock& clock, qint64 intervalMilliseconds)
        : m_clock(clock), m_interval(intervalMilliseconds) {}
    // Waits until the interval since the last request has passed, then
    // counts the request as sent now.
    void beforeRequest();

private:
    PacingClock& m_clock;
    qint64 m_interval;
    QDateTime m_last;
};

// Why nothing may be sent to url, empty when it may: https anywhere, plain
// http only to this machine (the test servers).
QString AddressProblem(const QUrl& url);

// "Quillmoth/<version> ( <project address> )", as the services ask.
QString UserAgent();

struct WebOptions {
    int timeoutMilliseconds = 30000;
    int maxRedirects = 5;
    // Tries of one request in all when the service answers 503.
    int maxAttempts = 3;
    // A service asking for a longer pause than this gets no second try.
    int maxRetryAfterSeconds = 60;
};

struct WebAnswer {
    // The final HTTP status; 0 when no answer came (failure says why).
    int status = 0;
    QByteArray body;
    QString failure;
};

class WebClient {
public:
    explicit WebClient(PacingClock& clock, WebOptions options = {});

    // GET url. pacer (may be null) is asked before every request sent,
    // redirects and second tries included. A body larger than maxBodyBytes
    // is a failure.
    WebAnswer get(const QUrl& url, Pacer* pacer, qint64 maxBodyBytes);

    // Requests sent so far (each redirect and second try counts).
    int requestsSent() const { return m_requests; }

private:
    struct Attempt {
        WebAnswer answer;
        QUrl redirect;
        qint64 retryAfterSeconds = -1;
    };
    Attempt once(const QUrl& url, qint64 maxBodyBytes);

    PacingClock& m_clock;
    WebOptions m_options;
    QNetworkAccessManager m_manager;
    int m_requests = 0;
};

// Retry-After in seconds: a number of seconds or an HTTP date (counted from
// now); -1 when it is neither.
qint64 RetryAfterSeconds(const QByteArray& value, const QDateTime& now);

} // namespace artworkdownload
