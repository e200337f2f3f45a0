#include "community/CommunityClient.h"
#include "community/DownloadList.h"
#include "community/UrlEscaping.h"
#include "support/HttpRecorder.h"
#include "support/Printers.h"
#include "support/TestFiles.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace ov::community;
using ov::test::CannedReply;
using ov::test::HttpRecorder;
using ov::test::RecordedRequest;

TEST(UrlEscaping, ValuesKeepOnlyUnreservedCharacters)
{
    EXPECT_EQ(escapeValue("Abc-09._~"), "Abc-09._~");
    EXPECT_EQ(escapeValue("my name"), "my%20name");
    // Nothing in a value can add or cut short a parameter, and "+" never arrives as a space.
    EXPECT_EQ(escapeValue("1&pinCode=2"), "1%26pinCode%3D2");
    EXPECT_EQ(escapeValue("a+b#c;d/e?f:g@h$i,j!k*l'm(n)o%p"),
              "a%2Bb%23c%3Bd%2Fe%3Ff%3Ag%40h%24i%2Cj%21k%2Al%27m%28n%29o%25p");
    EXPECT_EQ(escapeValue(QString::fromUtf8("Zoë 🎹")), "Zo%C3%AB%20%F0%9F%8E%B9");
    EXPECT_EQ(escapeValue(""), "");
}

TEST(UrlEscaping, WholeUrlsKeepTheirPunctuation)
{
    EXPECT_EQ(escapeWholeUrl("http://127.0.0.1:8080/lib/files/42/CSParameterOrder.plist"),
              "http://127.0.0.1:8080/lib/files/42/CSParameterOrder.plist");
    EXPECT_EQ(escapeWholeUrl("http://h/files/my file#1%.plist?a=b&c=d+e"),
              "http://h/files/my%20file%231%25.plist?a=b&c=d+e");
    EXPECT_EQ(escapeWholeUrl(QString::fromUtf8("http://h/é")), "http://h/%C3%A9");
}

TEST(Endpoints, RequestTextsAndTheUploadBody)
{
    EXPECT_EQ(checkUserEndpoint("a b", "1&2"), "checkuser.php?userName=a%20b&pinCode=1%262");
    EXPECT_EQ(createUserEndpoint("n", "x@y.z"), "checkuserexists.php?userName=n&emailAddr=x%40y.z");
    EXPECT_EQ(uploadEndpoint("u", "Retro Synth", "three word comment"),
              "ov_upload.php?user=u&hardware=12&plugin=Retro%20Synth&comments=three%20word%20comment");
    EXPECT_EQ(listEndpoint("Channel EQ"), "ov_listplists.php?plugin=Channel%20EQ");
    EXPECT_EQ(downloadRegistrationEndpoint("42"), "ov_downloadreg.php?patchID=42");
    EXPECT_EQ(deleteSharedEndpoint("ann lee", "1&2", "42"),
              "ov_deleteplist.php?userName=ann%20lee&pinCode=1%262&patchID=42");
    EXPECT_EQ(fetchUrl("http://h:1/", "files/4 2/x.plist"), "http://h:1/files/4%202/x.plist");

    EXPECT_EQ(std::strlen(kUploadBoundary), 56u);
    EXPECT_EQ(uploadContentType(), QByteArray("multipart/form-data; boundary=") + kUploadBoundary);
    EXPECT_EQ(uploadBody(QByteArray()).size(), 252);
    const QByteArray file("<plist>\r\n--x</plist>", 20);
    const QByteArray body = uploadBody(file);
    EXPECT_EQ(body.size(), file.size() + 252);
    EXPECT_EQ(body, "\r\n-----------------------------14737809831466499882746641449\r\n"
                    "Content-Disposition: form-data; name=\"userfile\"; filename=\"CSParameterOrder.plist\"\r\n"
                    "Content-Type: application/octet-stream\r\n\r\n"
                        + file + "\r\n-----------------------------14737809831466499882746641449--\r\n");
    EXPECT_EQ(uploadBody(file, "12&3"), "\r\n-----------------------------14737809831466499882746641449\r\n"
                                        "Content-Disposition: form-data; name=\"pinCode\"\r\n\r\n12&3"
                                            + body);
}

TEST(Endpoints, TheBaseUrlComesFromTheEnvironmentThenThePreferenceThenTheBuildAndEndsInASlash)
{
    struct Case {
        const char *environment;
        QString stored;
        QString expected;
    };
    const Case cases[] = {
        {"http://example.org:9000/lib", "https://kept.example/", "http://example.org:9000/lib/"},
        {"http://example.org:9000/lib", "", "http://example.org:9000/lib/"},
        {nullptr, "https://kept.example/library", "https://kept.example/library/"},
        {nullptr, "", OV_DEFAULT_COMMUNITY_URL},
    };
    for (const Case &c : cases) {
        if (c.environment)
            qputenv("OVCORVANTA_COMMUNITY_URL", c.environment);
        else
            qunsetenv("OVCORVANTA_COMMUNITY_URL");
        EXPECT_EQ(communityBaseUrl(c.stored), c.expected) << c.stored.toStdString();
    }
    qunsetenv("OVCORVANTA_COMMUNITY_URL");
    EXPECT_EQ(builtInCommunityBaseUrl(), OV_DEFAULT_COMMUNITY_URL);
}

TEST(DownloadList, ParsesAnArrayOfObjectsAndNothingElse)
{
    const auto entries = parseDownloadList(QStringLiteral(
        R"([{"patchID": 42, "fileLocation": "files/42/CSParameterOrder.plist", "userComments": "Warm", "user": "ann"},)"
        R"( 7, {"patchID": "x9", "fileLocation": "f", "userComments": null}])"));
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].patchID(), "42");
    EXPECT_EQ(entries[0].fileLocation(), "files/42/CSParameterOrder.plist");
    EXPECT_EQ(entries[0].userComments(), "Warm");
    EXPECT_EQ(entries[0].object.value("user").toString(), "ann");
    EXPECT_EQ(entries[1].patchID(), "x9");
    EXPECT_EQ(entries[1].userComments(), "");
    for (const std::optional<QString> &reply :
         {std::optional<QString>(), std::optional<QString>("[]"), std::optional<QString>("{\"patchID\":1}"),
          std::optional<QString>("<html>404</html>"), std::optional<QString>("[{\"patchID\":1")})
        EXPECT_TRUE(parseDownloadList(reply).isEmpty());
}

TEST(DownloadList, OwnMappingsAreTheOnesSharedUnderTheSignedInNameAsTheServerComparesIt)
{
    for (const auto &[sharer, signedIn, own] : {std::tuple{"ann", "ann", true},
                                                {"Jos\u00E9", "Jose\u0301", true},
                                                {"ann", "Ann", false},
                                                {"ann", "ann ", false},
                                                {"", "", false}}) {
        const DownloadListEntry entry{QJsonObject{{"user", QString::fromUtf8(sharer)}}};
        EXPECT_EQ(entry.isSharedBy(QString::fromUtf8(signedIn)), own) << sharer << "/" << signedIn;
    }
}

TEST(NewUser, ThePinCodeIsTakenFromAWelcomeOnly)
{
    for (const auto &[status, text, pin] :
         {std::tuple<int, const char *, std::optional<QString>>{
              200, "Welcome, ann!\n\nYour PIN code is 042137.\n\nSign in with it.", QStringLiteral("042137")},
          {409, "The user name 'ann' is already taken. Your PIN code is 1.", std::nullopt}}) {
        ExchangeReply reply;
        reply.status = status;
        reply.text = QString::fromUtf8(text);
        EXPECT_EQ(newUserPinCode(reply), pin) << text;
    }
}

class Exchange : public ::testing::Test {
protected:
    HttpRecorder server;
    HttpRecorder elsewhere; // another origin
    CommunityClient client{server.baseUrl("/lib/")};
};

TEST_F(Exchange, PostsTheValuesInTheQueryAndDecodesTheReply)
{
    server.reply = [](const RecordedRequest &) { return CannedReply{200, "\nOK\n"}; };
    const ExchangeReply reply = client.checkCloudUserName("ann lee", "12&3=4");
    EXPECT_TRUE(isOkReply(reply));
    ASSERT_EQ(server.requests.size(), 1);
    const RecordedRequest &request = server.requests.first();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/lib/checkuser.php?userName=ann%20lee&pinCode=12%263%3D4");
    EXPECT_TRUE(request.body.isEmpty());
}

TEST_F(Exchange, OnlyTheExactOkReplySignsIn)
{
    for (const QByteArray &body :
         {QByteArray("OK"), QByteArray("\nOK\n "), QByteArray("\nOK"), QByteArray("\nok\n"), QByteArray()}) {
        server.reply = [body](const RecordedRequest &) { return CannedReply{200, body}; };
        EXPECT_FALSE(isOkReply(client.checkCloudUserName("a", "1"))) << body.toStdString();
    }
}

TEST_F(Exchange, OnlyAReplyInTheProtocolIsTheServersAnswer)
{
    const QByteArray plain = "Content-Type: text/plain\r\n";
    const QString refused = "it sent the request on to %1, which is not followed";
    const std::tuple<Expect, CannedReply, QString> cases[] = {
        // the failure; empty: the server answered
        {Expect::Text, {200, "\nOK\n"}, ""},
        {Expect::Text, {403, "\nDENIED\nThe PIN code is not right.\n", false, plain}, ""},
        {Expect::Text, {500, "\nOK\n", false, plain}, "HTTP status 500 X, saying \"OK\""},
        {Expect::Text, {404, "<html>Not Found</html>", false, "Content-Type: text/html\r\n"}, "HTTP status 404 X"},
        // A POST is never sent again on a redirect, to its own server or another.
        {Expect::Text, {307, "", false, "Location: /lib/again\r\n"}, refused.arg(server.baseUrl("/lib/again"))},
        {Expect::List,
         {307, "", false, "Location: " + elsewhere.baseUrl().toUtf8() + "\r\n"},
         refused.arg(elsewhere.baseUrl())},
        {Expect::List, {200, "[]"}, ""},
        {Expect::List, {200, "<html>[]</html>"}, "its reply is not a list of shared mappings"},
        {Expect::List, {400, "The name is empty.", false, plain}, "HTTP status 400 X, saying \"The name is empty.\""},
        {Expect::File, {403, "", false, plain}, "HTTP status 403 X"},
    };
    for (const auto &[expect, canned, failure] : cases) {
        server.reply = [&canned = canned](const RecordedRequest &) { return canned; };
        const ExchangeReply reply = client.exchange("x.php", 5000, expect);
        EXPECT_EQ(reply.failure, failure) << canned.status;
        EXPECT_EQ(reply.text.has_value(), failure.isEmpty()) << canned.status;
    }
    EXPECT_EQ(server.requests.size(), std::size(cases));
    EXPECT_TRUE(elsewhere.requests.isEmpty());
}

TEST_F(Exchange, NoBodyNoUtf8OrNoServerGiveNoText)
{
    server.reply = [](const RecordedRequest &) { return CannedReply{200, QByteArray("caf\xe9")}; };
    EXPECT_FALSE(client.createNewCloudUserName("a", "b").text.has_value());
    server.reply = [](const RecordedRequest &) { return CannedReply{200, QByteArray(), true}; };
    EXPECT_FALSE(client.createNewCloudUserName("a", "b").answered());
    server.reply = [](const RecordedRequest &) { return CannedReply{200, "Welcome ✓"}; };
    EXPECT_EQ(client.createNewCloudUserName("a", "b").text, QStringLiteral("Welcome ✓"));

    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    CommunityClient nowhere(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    EXPECT_EQ(nowhere.checkCloudUserName("a", "1").failure, "Connection refused");
}

TEST_F(Exchange, RepliesOverTheirBoundAreAbandoned)
{
    // The list and account replies up to a few MiB, whole.
    for (const qint64 size : {kMaxReplyBytes, kMaxReplyBytes + 1}) {
        server.reply = [size](const RecordedRequest &) { return CannedReply{200, QByteArray(size, '[')}; };
        EXPECT_EQ(client.checkForDownloads("Echo").failure.contains("larger than"), size > kMaxReplyBytes) << size;
    }
    server.reply = [](const RecordedRequest &) { return CannedReply{200, QByteArray(kMaxReplyBytes + 1, ' ')}; };
    EXPECT_EQ(client.checkCloudUserName("a", "1").failure, "the reply is larger than 4194304 bytes");

    // A file up to the largest the server takes; a larger one fails and leaves no file.
    QTemporaryDir dir;
    for (const qint64 size : {kMaxSharedFileBytes, kMaxSharedFileBytes + 1}) {
        server.reply = [size](const RecordedRequest &) { return CannedReply{200, QByteArray(size, 'x')}; };
        const QString destination = dir.filePath(QString::number(size));
        FileDownload *download = client.startDownloadingURL(fetchUrl(client.baseUrl(), "f"), destination);
        QSignalSpy finished(download, &FileDownload::downloadDidFinish);
        QSignalSpy failed(download, &FileDownload::downloadFailed);
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() + failed.count() > 0; }, 10000)) << size;
        if (size <= kMaxSharedFileBytes) {
            EXPECT_EQ(finished.count(), 1);
            EXPECT_EQ(QFileInfo(destination).size(), size);
        } else {
            ASSERT_EQ(failed.count(), 1);
            EXPECT_TRUE(failed.first().at(1).toString().contains("larger than"))
                << failed.first().at(1).toString().toStdString();
            EXPECT_FALSE(QFileInfo::exists(destination));
        }
    }
}

TEST_F(Exchange, TheUploadCarriesTheFileInOnePart)
{
    server.reply = [](const RecordedRequest &) { return CannedReply{200, "Thanks"}; };
    const QByteArray file = ov::test::xmlPlist(ov::test::stringArrayXml("ControlSurfaceParameterOrder", {"1 A"}));
    EXPECT_EQ(client.uploadFileToServer(file, "ann", "Retro Synth", "a&b=c").text, QStringLiteral("Thanks"));
    ASSERT_EQ(server.requests.size(), 1);
    const RecordedRequest &request = server.requests.first();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/lib/ov_upload.php?user=ann&hardware=12&plugin=Retro%20Synth&comments=a%26b%3Dc");
    EXPECT_EQ(request.body, uploadBody(file));
    EXPECT_EQ(request.headerCount("Content-Type"), 1);
    EXPECT_EQ(request.header("Content-Type"), uploadContentType());
    EXPECT_EQ(request.header("Content-Length"), QByteArray::number(file.size() + 252));
}

TEST_F(Exchange, DownloadsWriteTheFileTheServerSendsFromItsOwnOriginOnly)
{
    QTemporaryDir dir;
    const auto moved = [](const QString &to) {
        return CannedReply{302, "", false, "Location: " + to.toUtf8() + "\r\n"};
    };
    server.reply = [&](const RecordedRequest &request) {
        const QByteArray file = request.target.mid(request.target.lastIndexOf('/') + 1);
        return file == "moved"     ? moved("/lib/x%20y")
               : file == "away"    ? moved(elsewhere.baseUrl("/f"))
               : file == "missing" ? CannedReply{404, "Not found"}
                                   : CannedReply{200, "<plist/>"};
    };
    const std::pair<const char *, QString> cases[] = {
        // the failure; empty: the file is written
        {"x y", ""},
        {"moved", ""},
        {"missing", "HTTP status 404 X"},
        {"away", "it sent the request on to " + elsewhere.baseUrl("/f") + ", which is not followed"}};
    for (const auto &[file, failure] : cases) {
        FileDownload *download = client.startDownloadingURL(fetchUrl(client.baseUrl(), file), dir.filePath(file));
        QSignalSpy finished(download, &FileDownload::downloadDidFinish);
        QSignalSpy failed(download, &FileDownload::downloadFailed);
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() + failed.count() > 0; }, 10000)) << file;
        EXPECT_EQ(failed.isEmpty() ? QString() : failed.first().at(1).toString(), failure) << file;
        EXPECT_TRUE(failed.isEmpty() || failed.first().at(2).toBool()) << "the server's failure";
        EXPECT_EQ(ov::test::readFile(dir.filePath(file)), failure.isEmpty() ? "<plist/>" : "") << file;
    }
    EXPECT_EQ(server.requests.first().method, "GET");
    EXPECT_EQ(server.requests.first().target, "/lib/x%20y");
    EXPECT_EQ(server.requests[2].target, "/lib/x%20y"); // where "moved" went
    EXPECT_TRUE(elsewhere.requests.isEmpty());
}

TEST(Redirects, AreFollowedOnlyForAGetToItsOwnOriginOrToHttpsOnTheSameHost)
{
    const std::tuple<const char *, const char *, bool, bool> cases[] = {
        // from, to, POST, followed
        {"http://h/a", "http://h:80/b", false, true},
        {"http://h:81/a", "https://H:8443/a", false, true},
        {"http://h/a", "http://h.other.example/a", false, false},
        {"https://h/a", "http://h/a", false, false},
        {"http://h/a", "file:///etc/passwd", false, false},
        {"https://h/a", "https://h:444/b", false, false},
    };
    for (const auto &[from, to, post, followed] : cases)
        EXPECT_EQ(isRedirectAllowed(QUrl(from), QUrl(to), post), followed) << from << " -> " << to;
}

TEST_F(Exchange, ADownloadWithoutAnAnswerFails)
{
    QTemporaryDir dir;
    server.reply = [](const RecordedRequest &) { return CannedReply{200, QByteArray(), true}; };
    FileDownload *download = client.startDownloadingURL(fetchUrl(client.baseUrl(), "f"), dir.filePath("d"));
    QSignalSpy failed(download, &FileDownload::downloadFailed);
    ASSERT_TRUE(failed.wait(10000));
    EXPECT_FALSE(failed.first().at(1).toString().isEmpty());
    EXPECT_TRUE(failed.first().at(2).toBool());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("d")));
}

// A loopback server that takes every request and sends nothing, or a reply one byte every 50 ms;
// each connection closes after `closeMs`, so that no exchange outlives a test.
class SlowServer {
public:
    explicit SlowServer(bool trickle, int closeMs = 5000)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this, trickle, closeMs] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                QTimer::singleShot(closeMs, socket, &QTcpSocket::close);
                if (!trickle)
                    continue;
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n");
                auto *timer = new QTimer(socket);
                QObject::connect(timer, &QTimer::timeout, socket, [socket] { socket->write("["); });
                timer->start(50);
            }
        });
    }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }

private:
    QTcpServer m_server;
};

TEST(Deadlines, EndASilentOrTricklingExchangeWhichCancelEndsSooner)
{
    QTemporaryDir dir;
    for (const bool trickle : {false, true}) {
        SlowServer server(trickle);
        CommunityClient client(server.baseUrl());
        client.setDeadlines({300, 400});
        EXPECT_EQ(client.checkCloudUserName("a", "1").failure, "timed out after 0.3 seconds") << trickle;
        EXPECT_EQ(client.uploadFileToServer("x", "a", "p", "c").failure, "timed out after 0.4 seconds") << trickle;
        QSignalSpy failed(client.startDownloadingURL(server.baseUrl() + "f", dir.filePath("f")),
                          &FileDownload::downloadFailed);
        ASSERT_TRUE(failed.wait(6000));
        EXPECT_EQ(failed.first().at(1).toString(), "timed out after 0.4 seconds") << trickle;
        client.setDeadlines({4000, 4000});
        QTimer::singleShot(100, &client, &CommunityClient::cancelWaiting);
        EXPECT_EQ(client.checkForDownloads("p").failure, "cancelled while waiting") << trickle;
    }
    // A reply cut off before its end is no answer.
    SlowServer cutOff(true, 300);
    EXPECT_EQ(CommunityClient(cutOff.baseUrl()).checkCloudUserName("a", "1").failure, "Connection closed");
}
