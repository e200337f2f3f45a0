#include "HttpRecorder.h"

#include <QEventLoop>
#include <QTcpSocket>

namespace ov::test {

QByteArray RecordedRequest::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return QByteArray();
}

int RecordedRequest::headerCount(const QByteArray &name) const
{
    int count = 0;
    for (const auto &pair : headers)
        count += pair.first.compare(name, Qt::CaseInsensitive) == 0 ? 1 : 0;
    return count;
}

namespace {

// Parses a complete request out of `buffer`; false while more bytes are needed.
bool parseRequest(const QByteArray &buffer, RecordedRequest *request)
{
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    const QList<QByteArray> first = lines.first().trimmed().split(' ');
    request->method = first.value(0);
    request->target = first.value(1);
    request->headers.clear();
    qsizetype length = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        const QByteArray key = lines[i].left(colon).trimmed();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        request->headers.append({key, value});
        if (key.compare("Content-Length", Qt::CaseInsensitive) == 0)
            length = value.toLongLong();
    }
    if (buffer.size() < end + 4 + length)
        return false;
    request->body = buffer.mid(end + 4, length);
    request->raw = buffer.left(end + 4 + length);
    return true;
}

// The length a complete reply has once its headers are in, or -1 while they are not.
qsizetype completeReplyLength(const QByteArray &reply)
{
    const qsizetype end = reply.indexOf("\r\n\r\n");
    if (end < 0)
        return -1;
    qsizetype length = 0;
    for (const QByteArray &line : reply.left(end).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare("Content-Length", Qt::CaseInsensitive) == 0)
            length = line.mid(colon + 1).trimmed().toLongLong();
    }
    return end + 4 + length;
}

QByteArray forward(quint16 port, const RecordedRequest &request)
{
    QTcpSocket upstream;
    upstream.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!upstream.waitForConnected(5000))
        return "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    // One request per connection: the headers as they came but for Connection, then the body.
    QByteArray head = request.method + ' ' + request.target + " HTTP/1.1\r\n";
    for (const auto &[key, value] : request.headers)
        if (key.compare("Connection", Qt::CaseInsensitive) != 0)
            head += key + ": " + value + "\r\n";
    upstream.write(head + "Connection: close\r\n\r\n" + request.body);
    QByteArray answer;
    while (completeReplyLength(answer) < 0 || answer.size() < completeReplyLength(answer)) {
        if (!upstream.waitForReadyRead(10000) && !upstream.bytesAvailable())
            break;
        answer += upstream.readAll();
    }
    return answer;
}

} // namespace

HttpRecorder::HttpRecorder(QObject *parent) : QObject(parent)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &HttpRecorder::onConnection);
}

QString HttpRecorder::baseUrl(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void HttpRecorder::onConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            RecordedRequest request;
            if (!parseRequest(*buffer, &request))
                return;
            buffer->remove(0, request.raw.size());
            requests.append(request);
            if (upstreamPort != 0) {
                socket->write(forward(upstreamPort, request));
                socket->disconnectFromHost();
                return;
            }
            const CannedReply canned = reply(request);
            if (canned.holdConnection)
                return;
            if (canned.dropConnection) {
                socket->abort();
                return;
            }
            socket->write("HTTP/1.1 " + QByteArray::number(canned.status) + " X\r\n" + canned.headers
                          + "Content-Length: " + QByteArray::number(canned.body.size())
                          + "\r\nConnection: close\r\n\r\n" + canned.body);
            socket->disconnectFromHost();
        });
    }
}

} // namespace ov::test
