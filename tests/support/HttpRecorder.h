#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>

#include <functional>

namespace ov::test {

// One HTTP request as it arrived, byte for byte.
struct RecordedRequest {
    QByteArray raw; // request line, headers and body
    QByteArray method;
    QByteArray target; // the request target as sent, query and escapes untouched
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray header(const QByteArray &name) const;
    int headerCount(const QByteArray &name) const;
};

struct CannedReply {
    int status = 200;
    QByteArray body;
    bool dropConnection = false; // close without answering
    QByteArray headers = {};     // more header lines, each ending in "\r\n"
    bool holdConnection = false; // never answer
};

// A loopback HTTP server that records every request and answers from a function; when it is given
// an upstream port it forwards each request there instead and passes the answer back.
class HttpRecorder final : public QObject {
    Q_OBJECT

public:
    explicit HttpRecorder(QObject *parent = nullptr);

    quint16 port() const { return m_server.serverPort(); }
    QString baseUrl(const QString &path = QStringLiteral("/")) const;

    std::function<CannedReply(const RecordedRequest &)> reply = [](const RecordedRequest &) { return CannedReply{}; };
    quint16 upstreamPort = 0;

    QList<RecordedRequest> requests;

private:
    void onConnection();

    QTcpServer m_server;
};

} // namespace ov::test
