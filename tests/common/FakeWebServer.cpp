#include "tests/common/FakeWebServer.h"

#include <QTcpSocket>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace testing_support {

FakeWebServer::FakeWebServer() {
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        ADD_FAILURE() << "the test server cannot listen: " << m_server.errorString().toStdString();
    QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection())
            serve(socket);
    });
}

QString FakeWebServer::address() const {
    return u"http://127.0.0.1:%1"_s.arg(m_server.serverPort());
}

QString FakeWebServer::closedAddress() {
    // A port that was free a moment ago and is closed again.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return u"http://127.0.0.1:%1"_s.arg(port);
}

void FakeWebServer::on(const QString& path, QList<FakeResponse> responses) {
    m_routes.insert(path, std::move(responses));
}

int FakeWebServer::requestsTo(const QString& pathPrefix) const {
    int count = 0;
    for (const FakeRequest& request : m_requests)
        count += request.path.startsWith(pathPrefix) ? 1 : 0;
    return count;
}

void FakeWebServer::serve(QTcpSocket* socket) {
    socket->setParent(this);
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
        buffer->append(socket->readAll());
        const qsizetype end = buffer->indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> lines = buffer->left(end).split('\n');
        buffer->clear();
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        const QUrl target(QString::fromLatin1(requestLine.value(1)));
        FakeRequest request{target.path(), QUrlQuery(target), {}};
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                       lines[i].mid(colon + 1).trimmed());
        }
        m_requests.append(request);

        FakeResponse response{404, "not found", {}, false};
        auto route = m_routes.find(request.path);
        if (route != m_routes.end() && !route->isEmpty())
            response = route->size() > 1 ? route->takeFirst() : route->first();
        if (response.silent)
            return;
        // Clients go by the code; the reason text is free.
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.status) + " Answer\r\n";
        for (const auto& [name, value] : response.headers)
            reply += name + ": " + value + "\r\n";
        reply += "Content-Length: " + QByteArray::number(response.body.size()) +
                 "\r\nConnection: close\r\n\r\n" + response.body;
        socket->write(reply);
        socket->disconnectFromHost();
    });
}

FakeResponse respond(int status, const QByteArray& body,
                     const QList<std::pair<QByteArray, QByteArray>>& headers) {
    return {status, body, headers, false};
}

FakeResponse silence() {
    return {200, {}, {}, true};
}

FakeResponse jsonResponse(const QByteArray& json) {
    return {200, json, {{"Content-Type", "application/json"}}, false};
}

FakeResponse redirectResponse(const QString& location, int status) {
    return {status, {}, {{"Location", location.toUtf8()}}, false};
}

} // namespace testing_support
