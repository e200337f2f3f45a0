#include "CommunityClient.h"

#include "CommunityTexts.h"

#include "mapping/AtomicFile.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QUrl>

namespace ov::community {

namespace {

QNetworkRequest requestFor(const QString &url)
{
    // The text is already escaped: it is taken byte for byte.
    QNetworkRequest request(QUrl::fromEncoded(url.toUtf8(), QUrl::TolerantMode));
    request.setTransferTimeout(CommunityClient::kTimeoutMs);
    return request;
}

const char *const kOverBoundProperty = "ovReplyOverBound";

// Abandons `reply` as soon as it announces or brings more than `maxBytes`, so that a server (or anyone
// on the way) cannot fill the memory; overBound() then tells it from a reply that failed by itself.
void boundReply(QNetworkReply *reply, qint64 maxBytes)
{
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply, maxBytes](qint64 received, qint64 total) {
        if (received > maxBytes || total > maxBytes) {
            reply->setProperty(kOverBoundProperty, true);
            reply->abort();
        }
    });
}

bool overBound(const QNetworkReply *reply)
{
    return reply->property(kOverBoundProperty).toBool();
}

std::optional<QString> decodeUtf8(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace

FileDownload::FileDownload(const QString &url, const QString &localPath, QNetworkReply *reply, QObject *parent)
    : QObject(parent), m_url(url), m_localPath(localPath), m_reply(reply)
{
    boundReply(reply, kMaxSharedFileBytes);
    connect(reply, &QNetworkReply::finished, this, &FileDownload::onFinished);
}

void FileDownload::onFinished()
{
    QNetworkReply *reply = m_reply.data();
    reply->deleteLater();
    deleteLater();
    if (overBound(reply)) {
        emit downloadFailed(this, texts::kReplyTooLarge.arg(kMaxSharedFileBytes));
        return;
    }
    // Any HTTP reply counts as the server's answer and is written as it came; only a missing reply fails.
    if (!reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        emit downloadFailed(this, reply->errorString());
        return;
    }
    QString error;
    if (!mapping::writeFileAtomically(m_localPath, reply->readAll(), &error)) {
        emit downloadFailed(this, error);
        return;
    }
    emit downloadDidFinish(this);
}

CommunityClient::CommunityClient(const QString &baseUrl, QObject *parent) : QObject(parent), m_baseUrl(baseUrl) {}

std::optional<QString> CommunityClient::exchange(const QString &appendedText, const QByteArray &body,
                                                 const QByteArray &contentType)
{
    QNetworkRequest request = requestFor(m_baseUrl + appendedText);
    // Qt gives a POST without a type this one anyway, with a warning on the console.
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      contentType.isEmpty() ? QByteArrayLiteral("application/x-www-form-urlencoded") : contentType);
    QNetworkReply *reply = m_network.post(request, body);
    boundReply(reply, kMaxReplyBytes);
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    reply->deleteLater();
    if (overBound(reply))
        return std::nullopt;
    return decodeUtf8(reply->readAll());
}

std::optional<QString> CommunityClient::checkCloudUserName(const QString &userName, const QString &pinCode)
{
    return exchange(checkUserEndpoint(userName, pinCode));
}

std::optional<QString> CommunityClient::createNewCloudUserName(const QString &userName, const QString &emailAddress)
{
    return exchange(createUserEndpoint(userName, emailAddress));
}

std::optional<QString> CommunityClient::uploadFileToServer(const QByteArray &fileBytes, const QString &user,
                                                           const QString &plugin, const QString &comments,
                                                           const QString &pinCode)
{
    return exchange(uploadEndpoint(user, plugin, comments), uploadBody(fileBytes, pinCode), uploadContentType());
}

std::optional<QString> CommunityClient::checkForDownloads(const QString &plugin)
{
    return exchange(listEndpoint(plugin));
}

std::optional<QString> CommunityClient::registerCloudDownloadAttempt(const QString &patchId)
{
    return exchange(downloadRegistrationEndpoint(patchId));
}

FileDownload *CommunityClient::startDownloadingURL(const QString &url, const QString &localPath)
{
    return new FileDownload(url, localPath, m_network.get(requestFor(url)), this);
}

bool isOkReply(const std::optional<QString> &reply)
{
    return reply == kOkReply;
}

} // namespace ov::community
