#pragma once

#include "Endpoints.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <optional>

class QNetworkReply;

namespace ov::community {

// The largest reply an exchange reads: the list and the account replies are a few kilobytes.
inline constexpr qint64 kMaxReplyBytes = qint64{4} << 20;
// The largest shared file fetched: the largest upload the community server takes.
inline constexpr qint64 kMaxSharedFileBytes = qint64{1} << 20;

// What a reply must be for the server to have answered in the protocol.
enum class Expect {
    // A text for the user or the sign-in check's verdict: any 2xx reply, or a 4xx refusal in plain
    // text (how the community server words a wrong PIN code or a refused upload).
    Text,
    // The list of shared mappings: a 2xx reply holding a JSON array.
    List,
    // A shared file: a 2xx reply.
    File,
};

// How an exchange ended.
struct ExchangeReply final {
    // The body decoded as UTF-8, when the server answered with one that is UTF-8.
    std::optional<QString> text;
    // Why the server did not answer in the protocol ("timed out after 10 seconds", Qt's error
    // string, ...); empty when it did.
    QString failure;
    // The reply's HTTP status, 0 when none came.
    int status = 0;

    bool answered() const { return failure.isEmpty(); }
    // The server answered and took the request (a 2xx status).
    bool accepted() const { return answered() && status >= 200 && status < 300; }
};

// One request on its way. It ends once, with finished(), at the server's answer, a transport
// failure, its deadline (for the whole exchange, however slowly the bytes come) or cancel().
class PendingExchange final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PendingExchange)

public:
    PendingExchange(QNetworkReply *reply, int deadlineMs, qint64 maxBytes, Expect expect, QObject *parent);
    // Abandons the request without finished().
    ~PendingExchange() override;

    bool isFinished() const { return m_finished; }
    // The answer; meaningful once finished.
    const ExchangeReply &reply() const { return m_result; }
    const QByteArray &body() const { return m_body; }

    // Ends the exchange now as a failure of the server: the user stopped waiting for it.
    void cancel();

signals:
    void finished();

private:
    // Ends the request with `cause` as the failure.
    void stop(const QString &cause);
    void onRedirected(const QUrl &target);
    void onFinished();

    QPointer<QNetworkReply> m_reply;
    QUrl m_origin;
    Expect m_expect;
    QTimer m_deadline;
    QString m_cause;
    QByteArray m_body;
    ExchangeReply m_result;
    bool m_finished = false;
};

// A shared file on its way to disk. It ends with exactly one of downloadDidFinish or downloadFailed,
// then deletes itself.
class FileDownload final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileDownload)

public:
    FileDownload(const QString &url, const QString &localPath, PendingExchange *fetch, QObject *parent);

    const QString &url() const { return m_url; }
    const QString &localPath() const { return m_localPath; }

signals:
    // The server's file has been written to localPath().
    void downloadDidFinish(ov::community::FileDownload *download);
    // The server did not answer with a file (`byServer`: no reply, not 2xx, over kMaxSharedFileBytes,
    // past the deadline), or the file could not be written.
    void downloadFailed(ov::community::FileDownload *download, const QString &error, bool byServer);

private:
    void onFinished();

    QString m_url;
    QString m_localPath;
    PendingExchange *m_fetch;
};

// The community server's requests. Every exchange but the file download is a POST with the values in
// the query. The typed ones wait for their end while the event loop runs: the caller keeps the
// user's input away meanwhile (the window's wait notice), and may end the wait with cancelWaiting().
class CommunityClient final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CommunityClient)

public:
    // How long an exchange may take, from the request to the last byte of the reply.
    struct Deadlines {
        int quickMs = 10000;    // sign-in check, list, download registration: a few bytes each way
        int transferMs = 30000; // new user, upload, file fetch
    };

    explicit CommunityClient(const QString &baseUrl = communityBaseUrl(), QObject *parent = nullptr);

    const QString &baseUrl() const { return m_baseUrl; }
    // The next exchange goes to `baseUrl` (a changed preference).
    void setBaseUrl(const QString &baseUrl) { m_baseUrl = baseUrl; }
    const Deadlines &deadlines() const { return m_deadlines; }
    void setDeadlines(const Deadlines &deadlines) { m_deadlines = deadlines; }

    // Sends base URL + `appendedText` and returns at once; the exchange belongs to this client.
    PendingExchange *send(const QString &appendedText, int deadlineMs, Expect expect = Expect::Text,
                          const QByteArray &body = QByteArray(), const QByteArray &contentType = QByteArray());
    // send(), waited for.
    ExchangeReply exchange(const QString &appendedText, int deadlineMs, Expect expect = Expect::Text,
                           const QByteArray &body = QByteArray(), const QByteArray &contentType = QByteArray());
    // Ends the exchange being waited for, if any, as cancelled.
    void cancelWaiting();

    ExchangeReply checkCloudUserName(const QString &userName, const QString &pinCode);
    ExchangeReply createNewCloudUserName(const QString &userName, const QString &emailAddress);
    // pinCode is the signed-in user's; empty sends the body without it, as older editors did.
    ExchangeReply uploadFileToServer(const QByteArray &fileBytes, const QString &user, const QString &plugin,
                                     const QString &comments, const QString &pinCode = QString());
    ExchangeReply checkForDownloads(const QString &plugin);
    ExchangeReply registerCloudDownloadAttempt(const QString &patchId);
    // Deletes a mapping that userName shared; the server refuses another user's in plain text.
    ExchangeReply deleteSharedMapping(const QString &userName, const QString &pinCode, const QString &patchId);

    // Starts fetching the shared file at `url` (already escaped) and returns at once; the exchange
    // belongs to this client.
    PendingExchange *fetchFile(const QString &url);

    // Starts fetching `url` (already escaped) into `localPath` and returns at once.
    FileDownload *startDownloadingURL(const QString &url, const QString &localPath);

private:
    QString m_baseUrl;
    Deadlines m_deadlines;
    QNetworkAccessManager m_network;
    QPointer<PendingExchange> m_waiting;
};

// Whether a redirect from `from` to `to` may be followed: never for a POST (it would be sent again),
// and for a GET only to the same origin or to https on the same host.
bool isRedirectAllowed(const QUrl &from, const QUrl &to, bool post);

// Whether a sign-in check's reply says the pair is valid: exactly "\nOK\n".
bool isOkReply(const ExchangeReply &reply);

// The PIN code that the server's welcome to a new user gives ("... Your PIN code is 123456. ..."),
// or nothing when the server took no new user or its reply names none.
std::optional<QString> newUserPinCode(const ExchangeReply &reply);

} // namespace ov::community
