#include "CommunityClient.h"

#include "CommunityTexts.h"

#include "mapping/AtomicFile.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

namespace ov::community {

namespace {

QNetworkRequest requestFor(const QString &url)
{
    // The text is already escaped: it is taken byte for byte.
    QNetworkRequest request(QUrl::fromEncoded(url.toUtf8(), QUrl::TolerantMode));
    // Each redirect is judged by isRedirectAllowed before it is followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    return request;
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

bool isPlainText(const QNetworkReply *reply)
{
    return reply->header(QNetworkRequest::ContentTypeHeader)
        .toString()
        .startsWith(QLatin1String("text/plain"), Qt::CaseInsensitive);
}

// Why `reply`, which came with an HTTP status, is not the answer that `expect` waits for; empty when it is.
QString protocolFailure(const QNetworkReply *reply, const QByteArray &body, Expect expect)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool success = status >= 200 && status < 300;
    const bool refusal = status >= 400 && status < 500 && isPlainText(reply);
    if (success || (refusal && expect == Expect::Text)) {
        if (expect == Expect::List && !QJsonDocument::fromJson(body).isArray())
            return texts::kNotADownloadList;
        return QString();
    }
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    const std::optional<QString> text = isPlainText(reply) ? decodeUtf8(body) : std::nullopt;
    if (text && !text->trimmed().isEmpty())
        return texts::kHttpStatusSaying.arg(status).arg(reason, text->simplified().left(200));
    return texts::kHttpStatus.arg(status).arg(reason);
}

} // namespace

PendingExchange::PendingExchange(QNetworkReply *reply, int deadlineMs, qint64 maxBytes, Expect expect, QObject *parent)
    : QObject(parent), m_reply(reply), m_origin(reply->url()), m_expect(expect)
{
    // A server, or anyone on the way, cannot fill the memory.
    connect(reply, &QNetworkReply::downloadProgress, this, [this, maxBytes](qint64 received, qint64 total) {
        if (received > maxBytes || total > maxBytes)
            stop(texts::kReplyTooLarge.arg(maxBytes));
    });
    connect(reply, &QNetworkReply::redirected, this, &PendingExchange::onRedirected);
    connect(reply, &QNetworkReply::finished, this, &PendingExchange::onFinished);
    // One deadline for the whole exchange: a server that sends a byte now and then still ends at it.
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this,
            [this, deadlineMs] { stop(texts::kTimedOut.arg(QString::number(deadlineMs / 1000.0))); });
    m_deadline.start(deadlineMs);
    if (reply->isFinished())
        QTimer::singleShot(0, this, &PendingExchange::onFinished);
}

PendingExchange::~PendingExchange()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void PendingExchange::cancel()
{
    stop(texts::kCancelled);
}

void PendingExchange::stop(const QString &cause)
{
    if (m_finished || !m_reply || !m_cause.isEmpty())
        return;
    m_cause = cause;
    m_reply->abort(); // finishes the reply, and with it this exchange
}

void PendingExchange::onRedirected(const QUrl &target)
{
    const QUrl resolved = m_reply->url().resolved(target);
    const bool post = m_reply->operation() == QNetworkAccessManager::PostOperation;
    if (isRedirectAllowed(m_origin, resolved, post))
        emit m_reply->redirectAllowed();
    else
        stop(texts::kRedirectRefused.arg(resolved.toDisplayString()));
}

void PendingExchange::onFinished()
{
    if (m_finished || !m_reply)
        return;
    m_finished = true;
    m_deadline.stop();
    QNetworkReply *reply = m_reply.data();
    m_reply = nullptr;
    reply->deleteLater();
    if (!m_cause.isEmpty()) {
        m_result.failure = m_cause;
    } else if (!reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()
               || (reply->error() != QNetworkReply::NoError && reply->error() < QNetworkReply::ContentAccessDenied)) {
        // No HTTP reply, or one cut off: no connection, refused, reset, TLS, a proxy's failure.
        m_result.failure = reply->errorString();
    } else {
        m_body = reply->readAll();
        m_result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        m_result.failure = protocolFailure(reply, m_body, m_expect);
        if (m_result.answered())
            m_result.text = decodeUtf8(m_body);
    }
    emit finished();
}

FileDownload::FileDownload(const QString &url, const QString &localPath, PendingExchange *fetch, QObject *parent)
    : QObject(parent), m_url(url), m_localPath(localPath), m_fetch(fetch)
{
    fetch->setParent(this);
    connect(fetch, &PendingExchange::finished, this, &FileDownload::onFinished);
}

void FileDownload::onFinished()
{
    deleteLater();
    if (!m_fetch->reply().answered()) {
        emit downloadFailed(this, m_fetch->reply().failure, true);
        return;
    }
    QString error;
    if (!mapping::writeFileAtomically(m_localPath, m_fetch->body(), &error)) {
        emit downloadFailed(this, error, false);
        return;
    }
    emit downloadDidFinish(this);
}

CommunityClient::CommunityClient(const QString &baseUrl, QObject *parent) : QObject(parent), m_baseUrl(baseUrl) { }

PendingExchange *CommunityClient::send(const QString &appendedText, int deadlineMs, Expect expect,
                                       const QByteArray &body, const QByteArray &contentType)
{
    QNetworkRequest request = requestFor(m_baseUrl + appendedText);
    // Qt gives a POST without a type this one anyway, with a warning on the console.
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      contentType.isEmpty() ? QByteArrayLiteral("application/x-www-form-urlencoded") : contentType);
    return new PendingExchange(m_network.post(request, body), deadlineMs, kMaxReplyBytes, expect, this);
}

ExchangeReply CommunityClient::exchange(const QString &appendedText, int deadlineMs, Expect expect,
                                        const QByteArray &body, const QByteArray &contentType)
{
    PendingExchange *pending = send(appendedText, deadlineMs, expect, body, contentType);
    const QPointer<PendingExchange> outer = m_waiting;
    m_waiting = pending;
    QEventLoop loop;
    connect(pending, &PendingExchange::finished, &loop, &QEventLoop::quit);
    if (!pending->isFinished())
        loop.exec();
    m_waiting = outer;
    ExchangeReply reply = pending->reply();
    delete pending;
    return reply;
}

void CommunityClient::cancelWaiting()
{
    if (m_waiting)
        m_waiting->cancel();
}

ExchangeReply CommunityClient::checkCloudUserName(const QString &userName, const QString &pinCode)
{
    return exchange(checkUserEndpoint(userName, pinCode), m_deadlines.quickMs);
}

ExchangeReply CommunityClient::createNewCloudUserName(const QString &userName, const QString &emailAddress)
{
    return exchange(createUserEndpoint(userName, emailAddress), m_deadlines.transferMs);
}

ExchangeReply CommunityClient::uploadFileToServer(const QByteArray &fileBytes, const QString &user,
                                                  const QString &plugin, const QString &comments,
                                                  const QString &pinCode)
{
    return exchange(uploadEndpoint(user, plugin, comments), m_deadlines.transferMs, Expect::Text,
                    uploadBody(fileBytes, pinCode), uploadContentType());
}

ExchangeReply CommunityClient::checkForDownloads(const QString &plugin)
{
    return exchange(listEndpoint(plugin), m_deadlines.quickMs, Expect::List);
}

ExchangeReply CommunityClient::registerCloudDownloadAttempt(const QString &patchId)
{
    return exchange(downloadRegistrationEndpoint(patchId), m_deadlines.quickMs);
}

ExchangeReply CommunityClient::deleteSharedMapping(const QString &userName, const QString &pinCode,
                                                   const QString &patchId)
{
    return exchange(deleteSharedEndpoint(userName, pinCode, patchId), m_deadlines.quickMs);
}

PendingExchange *CommunityClient::fetchFile(const QString &url)
{
    return new PendingExchange(m_network.get(requestFor(url)), m_deadlines.transferMs, kMaxSharedFileBytes,
                               Expect::File, this);
}

FileDownload *CommunityClient::startDownloadingURL(const QString &url, const QString &localPath)
{
    return new FileDownload(url, localPath, fetchFile(url), this);
}

bool isRedirectAllowed(const QUrl &from, const QUrl &to, bool post)
{
    if (post || to.host().compare(from.host(), Qt::CaseInsensitive) != 0)
        return false;
    const QString fromScheme = from.scheme().toLower();
    const QString toScheme = to.scheme().toLower();
    if (fromScheme == QLatin1String("http") && toScheme == QLatin1String("https"))
        return true;
    const int defaultPort = toScheme == QLatin1String("https") ? 443 : 80;
    return fromScheme == toScheme && (toScheme == QLatin1String("http") || toScheme == QLatin1String("https"))
           && to.port(defaultPort) == from.port(defaultPort);
}

bool isOkReply(const ExchangeReply &reply)
{
    return reply.answered() && reply.text == kOkReply;
}

std::optional<QString> newUserPinCode(const ExchangeReply &reply)
{
    if (!reply.accepted() || !reply.text)
        return std::nullopt;
    static const QRegularExpression pin(QStringLiteral("PIN code is ([^\\s.]+)"));
    const QRegularExpressionMatch match = pin.match(*reply.text);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1);
}

} // namespace ov::community
