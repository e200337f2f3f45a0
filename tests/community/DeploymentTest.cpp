// The recommended deployment: nginx with deploy/nginx/ovcommunity.conf (on loopback ports, with a
// certificate from a throw-away authority) in front of the server, and the editor's community
// client over HTTPS through it: register, sign in, upload, list, register a download, download.

#include "community/CommunityClient.h"
#include "community/DownloadList.h"
#include "support/CommunityServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

using namespace ov::community;

namespace {

QString findProgram(const QString &name)
{
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/local/sbin", "/opt/homebrew/bin"})
                           : found;
}

// Runs a program to its end; its error output when it fails.
QString run(const QString &program, const QStringList &arguments, const QString &folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return program + " " + arguments.join(' ') + ": " + QString::fromUtf8(process.readAll());
    return {};
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Replaces the one occurrence of `from`; the test fails when the shipped site no longer has it.
void replaceOnce(QString &text, const QString &from, const QString &to)
{
    ASSERT_EQ(text.count(from), 1) << from.toStdString();
    text.replace(from, to);
}

class Deployment : public ::testing::Test {
protected:
    void SetUp() override
    {
        nginx = findProgram("nginx");
        openssl = findProgram("openssl");
        if (nginx.isEmpty() || openssl.isEmpty())
            GTEST_SKIP() << "nginx or openssl is not installed (scripts/setup installs both)";
        ASSERT_TRUE(server.isRunning());
        makeAuthority();
        startNginx();
    }

    void TearDown() override
    {
        QSslConfiguration::setDefaultConfiguration(defaultTls);
        if (proxy.state() == QProcess::NotRunning)
            return;
        proxy.terminate();
        if (!proxy.waitForFinished(5000))
            proxy.kill();
    }

    void makeAuthority()
    {
        const QString folder = dir.path();
        QFile extensions(dir.filePath("server.ext"));
        ASSERT_TRUE(extensions.open(QIODevice::WriteOnly));
        extensions.write("subjectAltName=IP:127.0.0.1\n");
        extensions.close();
        const QStringList ec{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
        for (const QStringList &step : {
                 QStringList{"req", "-x509"} + ec
                     + QStringList{"-keyout", "ca.key", "-out", "ca.crt", "-days", "2", "-subj",
                                   "/CN=ovcommunity test authority"},
                 QStringList{"req"} + ec
                     + QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1"},
                 QStringList{"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                             "-CAcreateserial", "-out", "server.crt", "-days", "2", "-extfile", "server.ext"},
             })
            ASSERT_EQ(run(openssl, step, folder).toStdString(), "");
    }

    void startNginx()
    {
        QFile shipped(QStringLiteral(OV_SOURCE_DIR "/deploy/nginx/ovcommunity.conf"));
        ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
        QString site = QString::fromUtf8(shipped.readAll());
        port = freePort();
        plainPort = freePort();
        replaceOnce(site, "    listen 80;\n    listen [::]:80;\n",
                    QStringLiteral("    listen 127.0.0.1:%1;\n").arg(plainPort));
        replaceOnce(site, "    listen 443 ssl;\n    listen [::]:443 ssl;\n",
                    QStringLiteral("    listen 127.0.0.1:%1 ssl;\n").arg(port));
        site.replace("/var/log/nginx/", dir.path() + "/");
        replaceOnce(site, "/etc/letsencrypt/live/community.example.org/fullchain.pem", dir.filePath("server.crt"));
        replaceOnce(site, "/etc/letsencrypt/live/community.example.org/privkey.pem", dir.filePath("server.key"));
        replaceOnce(site, "server 127.0.0.1:8080;", QStringLiteral("server 127.0.0.1:%1;").arg(server.port()));
        QFile siteFile(dir.filePath("site.conf"));
        ASSERT_TRUE(siteFile.open(QIODevice::WriteOnly));
        siteFile.write(site.toUtf8());
        siteFile.close();

        // The rest of what /etc/nginx/nginx.conf would give, in the temporary folder.
        QString main =
            "daemon off;\nworker_processes 1;\npid %1/nginx.pid;\nerror_log %1/error.log;\n"
            "events { worker_connections 64; }\n"
            "http {\n    access_log off;\n    client_body_temp_path %1/body;\n    proxy_temp_path %1/proxy;\n"
            "    fastcgi_temp_path %1/fastcgi;\n    uwsgi_temp_path %1/uwsgi;\n    scgi_temp_path %1/scgi;\n"
            "    include %1/site.conf;\n}\n";
        main = main.arg(dir.path());
        if (geteuid() == 0)
            main.prepend("user root;\n"); // the workers must reach the temporary folder
        QFile mainFile(dir.filePath("nginx.conf"));
        ASSERT_TRUE(mainFile.open(QIODevice::WriteOnly));
        mainFile.write(main.toUtf8());
        mainFile.close();

        proxy.setProcessChannelMode(QProcess::MergedChannels);
        proxy.start(nginx, {"-p", dir.path(), "-c", dir.filePath("nginx.conf"), "-e", dir.filePath("error.log")});
        ASSERT_TRUE(proxy.waitForStarted(10000));
        for (int attempt = 0; attempt < 100; ++attempt) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            if (probe.waitForConnected(100))
                return;
            ASSERT_EQ(proxy.state(), QProcess::Running) << proxy.readAll().toStdString() << errorLog().toStdString();
            QThread::msleep(50);
        }
        FAIL() << "nginx does not listen: " << errorLog().toStdString();
    }

    QString errorLog() const { return readLog("error.log"); }

    QString readLog(const QString &name) const
    {
        QFile log(dir.filePath(name));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }

    QString baseUrl() const { return QStringLiteral("https://127.0.0.1:%1/community/lib/").arg(port); }

    QTemporaryDir dir;
    ov::test::CommunityServer server; // takes uploads only with the user's PIN code
    QString nginx, openssl;
    QProcess proxy;
    quint16 port = 0, plainPort = 0;
    const QSslConfiguration defaultTls = QSslConfiguration::defaultConfiguration();
};

} // namespace

TEST_F(Deployment, TheEditorsClientWorksOverHttpsThroughTheShippedNginxSite)
{
    ASSERT_TRUE(QSslSocket::supportsSsl()) << "Qt Network has no TLS backend here (libqopensslbackend and libssl)";
    qputenv("OVCORVANTA_COMMUNITY_URL", baseUrl().toUtf8());
    const QString base = communityBaseUrl();
    qunsetenv("OVCORVANTA_COMMUNITY_URL");

    // Without the authority the certificate is not trusted, and nothing gets through.
    CommunityClient untrusting(base);
    EXPECT_FALSE(untrusting.checkCloudUserName("x", "1").answered());

    QSslConfiguration trusting = defaultTls;
    ASSERT_TRUE(trusting.addCaCertificates(dir.filePath("ca.crt")));
    QSslConfiguration::setDefaultConfiguration(trusting);
    CommunityClient client(base);

    const QString created = client.createNewCloudUserName("Ann Lee", "ann@example.org").text.value_or(QString());
    const QString pin = QRegularExpression("PIN code is (\\d{6})").match(created).captured(1);
    ASSERT_EQ(pin.size(), 6) << created.toStdString() << errorLog().toStdString();
    EXPECT_TRUE(isOkReply(client.checkCloudUserName("Ann Lee", pin)));

    // The file Logic wrote for its Retro Synth.
    QFile fixture(QStringLiteral(OV_SOURCE_DIR "/tests/fixtures/logic-retro-synth/CSParameterOrder.plist"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QByteArray file = fixture.readAll();
    const QString shared =
        client.uploadFileToServer(file, "Ann Lee", "Retro Synth", "through nginx", pin).text.value_or(QString());
    EXPECT_TRUE(shared.contains("has been shared")) << shared.toStdString();

    const QVector<DownloadListEntry> list = parseDownloadList(client.checkForDownloads("Retro Synth").text);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].userComments(), "through nginx");
    EXPECT_TRUE(client.registerCloudDownloadAttempt(list[0].patchID()).text.value_or(QString()).contains("counted"));

    const QString destination = dir.filePath("CSParameterOrder.plist.downloaded");
    FileDownload *download = client.startDownloadingURL(fetchUrl(base, list[0].fileLocation()), destination);
    QSignalSpy finished(download, &FileDownload::downloadDidFinish);
    ASSERT_TRUE(finished.wait(20000)) << errorLog().toStdString();
    QFile downloaded(destination);
    ASSERT_TRUE(downloaded.open(QIODevice::ReadOnly));
    EXPECT_EQ(downloaded.readAll(), file);

    // The site's logs have every request's path and status, and neither the PIN code nor the address.
    const QString access = readLog("ovcommunity.access.log");
    EXPECT_TRUE(access.contains("\"POST /community/lib/ov_upload.php\" 200")) << access.toStdString();
    const QString logs = access + readLog("ovcommunity.error.log");
    EXPECT_FALSE(logs.contains(pin) || logs.contains("ann@example.org") || logs.contains('?')) << logs.toStdString();
}

TEST_F(Deployment, PlainHttpIsRedirectedToHttpsWithTheSameRequest)
{
    QTcpSocket plain;
    plain.connectToHost(QHostAddress::LocalHost, plainPort);
    ASSERT_TRUE(plain.waitForConnected(5000));
    plain.write("GET /community/lib/checkuserexists.php?userName=a&emailAddr=b HTTP/1.1\r\n"
                "Host: community.example.org\r\nConnection: close\r\n\r\n");
    QByteArray reply;
    while (plain.waitForReadyRead(5000))
        reply += plain.readAll();
    EXPECT_TRUE(reply.startsWith("HTTP/1.1 308")) << reply.toStdString();
    EXPECT_TRUE(reply.contains(
        "Location: https://community.example.org/community/lib/checkuserexists.php?userName=a&emailAddr=b\r\n"))
        << reply.toStdString();
}
