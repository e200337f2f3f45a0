#include "CommunityServer.h"

#include "community/CommunityClient.h"

#include <QRegularExpression>

namespace ov::test {

CommunityServer::CommunityServer()
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setStandardErrorFile(m_folder.filePath(QStringLiteral("server.log")));
    m_process.start(QStringLiteral(OVCOMMUNITY_SERVER_PATH),
                    {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"),
                     m_folder.filePath(QStringLiteral("community.sqlite")), QStringLiteral("--require-upload-pin")});
    if (!m_process.waitForStarted(10000))
        return;
    // The first line names the port: "listening on 127.0.0.1:34567".
    while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) { }
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral(":(\\d+)\\s*$")).match(QString::fromUtf8(m_process.readLine()));
    if (match.hasMatch())
        m_port = match.captured(1).toUShort();
}

CommunityServer::~CommunityServer()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
}

QString CommunityServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

QString CommunityServer::createUser(const QString &name)
{
    community::CommunityClient client(baseUrl());
    const community::ExchangeReply reply = client.createNewCloudUserName(name, QStringLiteral("test@example.org"));
    const QRegularExpressionMatch pin =
        QRegularExpression(QStringLiteral("PIN code is (\\d{6})")).match(reply.text.value_or(QString()));
    return pin.hasMatch() ? pin.captured(1) : QString();
}

} // namespace ov::test
