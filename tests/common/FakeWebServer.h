#pragma once

// A small HTTP/1.1 server on 127.0.0.1 inside the test process, standing in
// for the web services: each path answers with what the test wrote, from
// the services' documentation. It answers while the code under test waits
// in its own event loop; a path may also keep silent, to test time-outs.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUrlQuery>

#include <functional>

namespace testing_support {

struct FakeRequest {
    QString path;
    QUrlQuery query;
    QHash<QByteArray, QByteArray> headers; // names in lower case
};

struct FakeResponse {
    int status = 200;
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers;
    bool silent = false; // keep the connection open and never answer
};

class FakeWebServer : public QObject {
public:
    FakeWebServer();

    // "http://127.0.0.1:<port>"
    QString address() const;
    // An address on this machine where nothing listens.
    static QString closedAddress();

    // The answers for path, in turn; the last one stays for later requests.
    void on(const QString& path, QList<FakeResponse> responses);
    // Every request received, in order; unknown paths get 404.
    const QList<FakeRequest>& requests() const { return m_requests; }
    int requestsTo(const QString& pathPrefix) const;

private:
    void serve(class QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QString, QList<FakeResponse>> m_routes;
    QList<FakeRequest> m_requests;
};

FakeResponse respond(int status, const QByteArray& body,
                     const QList<std::pair<QByteArray, QByteArray>>& headers = {});
FakeResponse silence();
FakeResponse jsonResponse(const QByteArray& json);
FakeResponse redirectResponse(const QString& location, int status = 307);

} // namespace testing_support
