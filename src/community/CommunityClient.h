#pragma once

#include "Endpoints.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>

#include <optional>

class QNetworkReply;

namespace ov::community {

// The largest reply an exchange reads: the list and the account replies are a few kilobytes.
inline constexpr qint64 kMaxReplyBytes = qint64{4} << 20;
// The largest shared file fetched: the largest upload the community server takes.
inline constexpr qint64 kMaxSharedFileBytes = qint64{1} << 20;

// A shared file on its way to disk. It ends with exactly one of downloadDidFinish or downloadFailed,
// then deletes itself.
class FileDownload final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileDownload)

public:
    FileDownload(const QString &url, const QString &localPath, QNetworkReply *reply, QObject *parent);

    const QString &url() const { return m_url; }
    const QString &localPath() const { return m_localPath; }

signals:
    // The server's reply body has been written to localPath() (whatever its HTTP status).
    void downloadDidFinish(ov::community::FileDownload *download);
    // No reply arrived, it was larger than kMaxSharedFileBytes, or the body could not be written.
    void downloadFailed(ov::community::FileDownload *download, const QString &error);

private:
    void onFinished();

    QString m_url;
    QString m_localPath;
    QPointer<QNetworkReply> m_reply;
};

// The community server's requests. Every exchange but the file download is a POST with the values in
// the query, sent and waited for; the window keeps painting meanwhile but takes no user input.
class CommunityClient final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CommunityClient)

public:
    // How long an exchange or a download may take before it fails.
    static constexpr int kTimeoutMs = 60000;

    explicit CommunityClient(const QString &baseUrl = communityBaseUrl(), QObject *parent = nullptr);

    const QString &baseUrl() const { return m_baseUrl; }
    // The next exchange goes to `baseUrl` (a changed preference).
    void setBaseUrl(const QString &baseUrl) { m_baseUrl = baseUrl; }

    // Sends base URL + `appendedText` and returns the reply decoded as UTF-8, or nothing when there is
    // no reply body, it is not UTF-8 or it is larger than kMaxReplyBytes. Status codes and transport
    // errors give no text of their own.
    std::optional<QString> exchange(const QString &appendedText, const QByteArray &body = QByteArray(),
                                    const QByteArray &contentType = QByteArray());

    std::optional<QString> checkCloudUserName(const QString &userName, const QString &pinCode);
    std::optional<QString> createNewCloudUserName(const QString &userName, const QString &emailAddress);
    // pinCode is the signed-in user's; empty sends the body without it, as older editors did.
    std::optional<QString> uploadFileToServer(const QByteArray &fileBytes, const QString &user, const QString &plugin,
                                              const QString &comments, const QString &pinCode = QString());
    std::optional<QString> checkForDownloads(const QString &plugin);
    std::optional<QString> registerCloudDownloadAttempt(const QString &patchId);

    // Starts fetching `url` (already escaped) into `localPath` and returns at once.
    FileDownload *startDownloadingURL(const QString &url, const QString &localPath);

private:
    QString m_baseUrl;
    QNetworkAccessManager m_network;
};

// Whether a sign-in check's reply says the pair is valid: exactly "\nOK\n".
bool isOkReply(const std::optional<QString> &reply);

} // namespace ov::community
