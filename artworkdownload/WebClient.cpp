#include "artworkdownload/WebClient.h"

#include "support/WebAddresses.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace artworkdownload {

void EventLoopClock::wait(qint64 milliseconds) {
    if (milliseconds <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(milliseconds), &loop, &QEventLoop::quit);
    loop.exec();
}

void Pacer::beforeRequest() {
    if (m_last.isValid()) {
        const qint64 since = m_last.msecsTo(m_clock.now());
        // A clock set back counts as no time passed.
        const qint64 left = since < 0 ? m_interval : m_interval - since;
        if (left > 0)
            m_clock.wait(left);
    }
    m_last = m_clock.now();
}

QString AddressProblem(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty())
        return u"\"%1\" is not a web address."_s.arg(url.toDisplayString());
    const QString scheme = url.scheme().toLower();
    if (scheme == u"https")
        return {};
    if (scheme == u"http") {
        const QString host = url.host().toLower();
        const QHostAddress address(host);
        if (host == u"localhost" || (!address.isNull() && address.isLoopback()))
            return {};
        return u"\"%1\" is not a secure (https) address; plain http is used only on this "
               u"machine."_s.arg(url.toDisplayString());
    }
    return u"\"%1\" is not an https address."_s.arg(url.toDisplayString());
}

QString UserAgent() {
    return u"Quillmoth/"_s + QStringLiteral(QUILLMOTH_VERSION) + u" ( "_s +
           support::PRODUCT_HOME_PAGE + u" )"_s;
}

qint64 RetryAfterSeconds(const QByteArray& value, const QDateTime& now) {
    const QByteArray text = value.trimmed();
    if (text.isEmpty())
        return -1;
    bool ok = false;
    const qint64 seconds = text.toLongLong(&ok);
    if (ok)
        return seconds < 0 ? -1 : seconds;
    // HTTP dates end in "GMT", which Qt's reader of mail dates wants as an offset.
    QString date = QString::fromLatin1(text);
    if (date.endsWith(u" GMT"_s))
        date = date.chopped(4) + u" +0000"_s;
    const QDateTime when = QDateTime::fromString(date, Qt::RFC2822Date);
    if (!when.isValid())
        return -1;
    return std::max<qint64>(0, now.secsTo(when));
}

WebClient::WebClient(PacingClock& clock, WebOptions options) : m_clock(clock), m_options(options) {
    // Nothing is kept between runs; the services' own answers are cached
    // by the caller where their rules allow.
    m_manager.setCookieJar(nullptr);
}

WebAnswer WebClient::get(const QUrl& start, Pacer* pacer, qint64 maxBodyBytes) {
    QUrl url = start;
    int redirects = 0;
    int attempts = 0;
    for (;;) {
        if (const QString problem = AddressProblem(url); !problem.isEmpty())
            return {0, {}, u"Nothing was sent: "_s + problem};
        if (pacer)
            pacer->beforeRequest();
        ++attempts;
        Attempt attempt = once(url, maxBodyBytes);
        if (!attempt.redirect.isEmpty()) {
            if (++redirects > m_options.maxRedirects)
                return {attempt.answer.status,
                        {},
                        u"%1 sent more than %2 redirects."_s.arg(start.host())
                            .arg(m_options.maxRedirects)};
            url = attempt.redirect;
            continue;
        }
        if (attempt.answer.status == 503) {
            const qint64 pause = attempt.retryAfterSeconds < 0 ? 1 : attempt.retryAfterSeconds;
            if (attempts >= m_options.maxAttempts)
                return {503,
                        {},
                        u"%1 is busy (503) and still was after %2 tries."_s.arg(url.host())
                            .arg(attempts)};
            if (pause > m_options.maxRetryAfterSeconds)
                return {
                    503,
                    {},
                    u"%1 is busy (503) and asks to wait %2 seconds."_s.arg(url.host()).arg(pause)};
            m_clock.wait(pause * 1000);
            continue;
        }
        return attempt.answer;
    }
}

WebClient::Attempt WebClient::once(const QUrl& url, qint64 maxBodyBytes) {
    Attempt attempt;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
    ++m_requests;
    // Deleted here rather than later: a run of thousands of albums may never
    // return to an outer event loop that would delete it.
    const std::unique_ptr<QNetworkReply> reply(m_manager.get(request));

    bool timedOut = false;
    bool tooLarge = false;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &loop,
                     [&](qint64 received, qint64 total) {
                         if (received > maxBodyBytes || total > maxBodyBytes) {
                             tooLarge = true;
                             reply->abort();
                         }
                     });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(m_options.timeoutMilliseconds);
    if (!reply->isFinished())
        loop.exec();
    timer.stop();

    const QString host = url.host();
    if (timedOut) {
        attempt.answer.failure = u"%1 did not answer within %2 seconds."_s.arg(host).arg(
            m_options.timeoutMilliseconds / 1000.0);
        return attempt;
    }
    if (tooLarge) {
        attempt.answer.failure =
            u"%1 sent more than %2 bytes, more than such an answer can be."_s.arg(host).arg(
                maxBodyBytes);
        return attempt;
    }
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        attempt.answer.failure =
            u"The connection to %1 failed: %2."_s.arg(host, reply->errorString());
        return attempt;
    }
    attempt.answer.status = status.toInt();
    const int code = attempt.answer.status;
    if (code == 301 || code == 302 || code == 303 || code == 307 || code == 308) {
        const QByteArray location = reply->rawHeader("Location");
        const QUrl target = url.resolved(QUrl::fromEncoded(location.trimmed()));
        if (location.trimmed().isEmpty() || !target.isValid()) {
            attempt.answer.failure = u"%1 sent a redirect without a usable address."_s.arg(host);
            return attempt;
        }
        attempt.redirect = target;
        return attempt;
    }
    if (code == 503)
        attempt.retryAfterSeconds =
            RetryAfterSeconds(reply->rawHeader("Retry-After"), m_clock.now());
    const QByteArray body = reply->readAll();
    if (body.size() > maxBodyBytes) {
        attempt.answer.failure =
            u"%1 sent more than %2 bytes, more than such an answer can be."_s.arg(host).arg(
                maxBodyBytes);
        return attempt;
    }
    if (reply->error() != QNetworkReply::NoError && code < 400) {
        attempt.answer.failure =
            u"The answer from %1 was cut short: %2."_s.arg(host, reply->errorString());
        return attempt;
    }
    attempt.answer.body = body;
    return attempt;
}

} // namespace artworkdownload
