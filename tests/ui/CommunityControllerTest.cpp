// The community actions of the controller against the real community server, over a recording view.
#include "RecordingView.h"
#include "TestFiles.h"

#include "community/CommunityClient.h"
#include "community/CommunityTexts.h"
#include "community/Endpoints.h"
#include "mapping/ParameterOrderFile.h"
#include "support/CommunityServer.h"
#include "support/HttpRecorder.h"
#include "ui/ViewController.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace ov::ui::test {
namespace {

namespace ctexts = community::texts;
using ov::test::CannedReply;
using ov::test::HttpRecorder;
using ov::test::RecordedRequest;

const QString kOrderKey = QString::fromLatin1(mapping::kControlSurfaceParameterOrderKey);

class CommunityControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isRunning());
        // Every request passes the recorder on its way to the server, so the tests see its bytes.
        recorder.upstreamPort = server.port();
        client = std::make_unique<community::CommunityClient>(recorder.baseUrl());
        makeController();
        writePlist(logicFile(),
                   {{mapping::kControlSurfaceParameterOrderKey, {"1 Cutoff", "2 Output Volume", "-1", "3 Drive"}}});
        writePlist(presetsFile(), {{mapping::kControlSurfaceParameterOrderKey, {"9 Other"}}});
    }

    void makeController()
    {
        controller = std::make_unique<ViewController>(
            state, view,
            ControllerEnvironment{[this] { return catalogue::scanRoots(home.path(), QString()); },
                                  [this](const QString &line) { log.append(line); }, client.get(),
                                  [this](const QString &key) { return settings.value(key); },
                                  [this](const QString &key, const QString &value) { settings[key] = value; }});
    }

    // The same plug-in in Logic's folder and in a maker's presets.
    QString logicFile() const { return test::logicFile(home.path(), QStringLiteral("Echo")); }
    QString presetsFile() const
    {
        return home.path() + QStringLiteral("/Library/Audio/Presets/Maker/Echo/CSParameterOrder.plist");
    }

    void open(const QString &fileLocation)
    {
        if (view.plugins.isEmpty())
            controller->viewDidLoad();
        for (int row = 0; row < view.plugins.size(); ++row)
            if (view.plugins.at(row).fileLocation == fileLocation)
                view.pluginSelection = row;
        controller->tablePluginSelected();
    }

    void signIn(const QString &name, const QString &pin)
    {
        view.fields[Field::cwinUserName] = name;
        view.fields[Field::cwinPinCode] = pin;
        controller->cwinLoginAttempt();
    }

    // Runs the event loop until the client has no exchange in flight: the start-up check runs on its own.
    bool waitForExchanges()
    {
        return QTest::qWaitFor([this] { return client->findChildren<community::PendingExchange *>().isEmpty(); },
                               15000);
    }

    // Runs the event loop until an alert comes, as the window does while a download runs.
    bool waitForAlert(size_t count)
    {
        const QDeadlineTimer deadline(15000);
        while (view.alerts.size() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return view.alerts.size() >= count;
    }

    QStringList slotNames() const
    {
        QStringList names;
        for (const mapping::ParameterEntry &entry : state.plistBuild)
            names.append(entry.Parameter);
        return names;
    }

    ov::test::CommunityServer server;
    HttpRecorder recorder;
    std::unique_ptr<community::CommunityClient> client;
    QTemporaryDir home;
    EditorState state;
    RecordingView view;
    QStringList log;
    QMap<QString, QString> settings;
    std::unique_ptr<ViewController> controller;
};

TEST_F(CommunityControllerTest, NewUserSignInAndTheStartUpCheck)
{
    // Nothing stored: the start-up check is sent all the same, and leaves the user signed out quietly.
    controller->viewDidLoad();
    ASSERT_TRUE(waitForExchanges());
    ASSERT_EQ(recorder.requests.size(), 1);
    EXPECT_EQ(recorder.requests[0].target, "/checkuser.php?userName=&pinCode=");
    EXPECT_EQ(view.label(Label::labLoggedInAs), "Not Logged In");
    EXPECT_FALSE(view.enabled.value(Button::ov_btn_cloudLibrary));
    EXPECT_TRUE(view.alerts.empty());

    view.fields[Field::cwinUserNameNew] = "Ann Lee";
    view.fields[Field::cwinEmailAddrNew] = "ann@example.org";
    controller->cwinNewUserCreate();
    ASSERT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(view.alerts[0].message, "Create New User Response");
    const QString pin = QRegularExpression("PIN code is (\\d{6})").match(view.alerts[0].informativeText).captured(1);
    ASSERT_EQ(pin.size(), 6) << view.alerts[0].informativeText.toStdString();
    EXPECT_EQ(recorder.requests.last().target, "/checkuserexists.php?userName=Ann%20Lee&emailAddr=ann%40example.org");
    EXPECT_EQ(state.loggedInAs, "NOONEHERE"); // creating a user signs nobody in
    // ... but fills the sign-in fields with the new account.
    EXPECT_EQ(view.fields.value(Field::cwinUserName), "Ann Lee");
    EXPECT_EQ(view.fields.value(Field::cwinPinCode), pin);

    signIn("Ann Lee", pin);
    EXPECT_EQ(recorder.requests.last().method, "POST");
    EXPECT_EQ(recorder.requests.last().target, "/checkuser.php?userName=Ann%20Lee&pinCode=" + pin.toUtf8());
    EXPECT_EQ(view.label(Label::labLoggedInAs), "Logged in as Ann Lee");
    EXPECT_FALSE(view.enabled.value(Button::ov_btn_cloudLibrary)) << "nothing to share: no plug-in is open";
    EXPECT_EQ(state.loggedInAs, "Ann Lee");
    EXPECT_TRUE(view.events.contains(QStringLiteral("close:%1").arg(int(Window::cwinCloudWindow))));
    EXPECT_EQ(settings.value("uName"), "Ann Lee");
    EXPECT_EQ(settings.value("uPIN"), pin);
    EXPECT_EQ(view.alerts.size(), 1u);

    // The next start signs in again from the stored credentials, without a word.
    EditorState fresh;
    RecordingView freshView;
    ViewController restarted(fresh, freshView,
                             {[this] { return catalogue::scanRoots(home.path(), QString()); },
                              [](const QString &) {},
                              client.get(),
                              [this](const QString &key) { return settings.value(key); },
                              {}});
    restarted.viewDidLoad();
    ASSERT_TRUE(waitForExchanges());
    EXPECT_EQ(fresh.loggedInAs, "Ann Lee");
    EXPECT_EQ(freshView.fields.value(Field::cwinUserName), "Ann Lee");
    EXPECT_EQ(freshView.label(Label::labLoggedInAs), "Logged in as Ann Lee");
    EXPECT_TRUE(freshView.alerts.empty());
    EXPECT_TRUE(freshView.enabled.value(Button::ovSignOut));

    // Signing out asks first; Cancel keeps everything.
    controller->ovSignOut();
    EXPECT_NE(view.confirmQuestions.at(0).informativeText.indexOf("server cannot show it again"), -1);
    EXPECT_EQ(settings.value("uPIN"), pin);

    // Signed out, the PIN is forgotten: the start after that signs nobody in.
    view.confirmAnswers = {true};
    controller->ovSignOut();
    EXPECT_EQ(state.loggedInAs, "NOONEHERE");
    EXPECT_EQ(view.label(Label::labLoggedInAs), "Not Logged In");
    EXPECT_FALSE(view.enabled.value(Button::ovSignOut));
    EXPECT_EQ(settings.value("uName"), "Ann Lee");
    EXPECT_TRUE(settings.value("uPIN").isEmpty());
    makeController();
    state = EditorState{};
    controller->viewDidLoad();
    ASSERT_TRUE(waitForExchanges());
    EXPECT_EQ(state.loggedInAs, "NOONEHERE");
}

TEST_F(CommunityControllerTest, AFailedSignInSignsOutAndKeepsTheStoredCredentials)
{
    const QString pin = server.createUser("bob");
    signIn("bob", pin);
    ASSERT_EQ(state.loggedInAs, "bob");
    // A PIN holding "&" and "=" stays one value.
    signIn("bob", pin + "&userName=bob");
    EXPECT_EQ(recorder.requests.last().target,
              "/checkuser.php?userName=bob&pinCode=" + pin.toUtf8() + "%26userName%3Dbob");
    ASSERT_EQ(view.alerts.size(), 1u);
    EXPECT_EQ(view.alerts[0].message, "Login failed");
    EXPECT_EQ(view.alerts[0].informativeText, "Please recheck your sign-in details and try again");
    EXPECT_EQ(state.loggedInAs, "NOONEHERE");
    EXPECT_EQ(view.label(Label::labLoggedInAs), "Not Logged In");
    EXPECT_FALSE(view.enabled.value(Button::ov_btn_cloudLibrary));
    EXPECT_EQ(settings.value("uName"), "bob");
    EXPECT_EQ(settings.value("uPIN"), pin);
    // The sign-in window stays open for another try.
    EXPECT_FALSE(view.events.filter(QStringLiteral("close:%1").arg(int(Window::cwinCloudWindow))).size() > 1);
    // The next start signs the stored user in again.
    controller->readPrefsFile();
    ASSERT_TRUE(waitForExchanges());
    EXPECT_EQ(state.loggedInAs, "bob");
}

TEST_F(CommunityControllerTest, TheStartUpCheckDoesNotHoldTheWindowAndEndsAtItsDeadline)
{
    recorder.upstreamPort = 0;
    recorder.reply = [](const RecordedRequest &) { return CannedReply{200, "", false, {}, true}; }; // never answers
    client->setDeadlines({500, 500});
    settings = {{"uName", "ann"}, {"uPIN", "123456"}};
    controller->viewDidLoad();
    // The plug-ins are listed and the window is the user's while the server says nothing.
    EXPECT_FALSE(view.plugins.isEmpty());
    EXPECT_FALSE(client->findChildren<community::PendingExchange *>().isEmpty());
    ASSERT_TRUE(waitForExchanges());
    EXPECT_EQ(state.loggedInAs, "NOONEHERE");
    EXPECT_TRUE(view.alerts.empty());
    EXPECT_TRUE(log.contains("The community server at " + recorder.baseUrl()
                             + " did not answer the sign-in check: timed out after 0.5 seconds"));
}

TEST_F(CommunityControllerTest, AServerThatDoesNotAnswerIsTheServersFailureNotTheUsers)
{
    const QString pin = server.createUser("bob");
    open(logicFile());
    signIn("bob", pin);
    view.downloads = {community::DownloadListEntry{QJsonObject{{"patchID", 7}, {"fileLocation", "f"}}}};
    view.downloadSelection = 0;
    client->setBaseUrl(QStringLiteral("http://127.0.0.1:1/")); // nothing listens there
    // Sign in, new user, upload, the registration of a download, list.
    for (void (ViewController::*action)() :
         {&ViewController::cwinLoginAttempt, &ViewController::cwinNewUserCreate, &ViewController::ovCommunityUploadBtn,
          &ViewController::ovCommunityLoadSelectedDownload, &ViewController::ovCommunityLibraryDownload}) {
        view.events.clear();
        view.alerts.clear();
        (controller.get()->*action)();
        ASSERT_EQ(view.alerts.size(), 1u) << view.events.join(' ').toStdString();
        EXPECT_EQ(view.alerts[0].message, "The community server did not answer");
        EXPECT_EQ(view.alerts[0].informativeText,
                  "The community server at http://127.0.0.1:1/ did not answer: Connection refused.");
        EXPECT_TRUE(view.events.contains("wait:Waiting for the community server at http://127.0.0.1:1/\u2026"));
        EXPECT_TRUE(view.events.filter(QRegularExpression("^(close|show):")).isEmpty()) << "no window shown or closed";
        EXPECT_EQ(state.loggedInAs, "bob");
        EXPECT_EQ(settings.value("uPIN"), pin);
    }
    EXPECT_TRUE(view.downloads.isEmpty()); // no list, not an empty one shown
}

TEST_F(CommunityControllerTest, UploadSendsTheFileAsItLiesOnDisk)
{
    const QString pin = server.createUser("cara");
    open(logicFile());
    EXPECT_FALSE(view.enabled.value(Button::ov_btn_cloudLibrary)) << "signed out";
    signIn("cara", pin);
    EXPECT_TRUE(view.enabled.value(Button::ov_btn_cloudLibrary));
    const QByteArray onDisk = readFile(logicFile());
    view.fields[Field::cwinUploadComments] = "Warm & wide = C+ sound #1";
    controller->ovCommunityLibrary();
    controller->ovCommunityUploadBtn();

    const RecordedRequest &upload = recorder.requests.last();
    EXPECT_EQ(upload.method, "POST");
    EXPECT_EQ(upload.target, "/ov_upload.php?user=cara&hardware=12&plugin=Echo&comments="
                             "Warm%20%26%20wide%20%3D%20C%2B%20sound%20%231");
    // The signed-in user's PIN code goes first, in a part of its own; the file's part is the one an
    // editor without it sends.
    EXPECT_EQ(upload.body, community::uploadBody(onDisk, pin));
    EXPECT_TRUE(upload.body.endsWith(community::uploadBody(onDisk)));
    EXPECT_TRUE(upload.body.contains("name=\"pinCode\"\r\n\r\n" + pin.toUtf8() + "\r\n"));
    EXPECT_EQ(upload.header("Content-Type"), community::uploadContentType());
    ASSERT_FALSE(view.alerts.empty());
    EXPECT_EQ(view.alerts.back().message, "Upload notification");
    EXPECT_TRUE(view.alerts.back().informativeText.contains("shared"))
        << view.alerts.back().informativeText.toStdString();
    EXPECT_EQ(view.events.last(), QStringLiteral("close:%1").arg(int(Window::cwinUploadWindow)));
    // The comment was that upload's; one the server refuses (a wrong PIN code) keeps it for another try,
    // and opening another plug-in empties it.
    EXPECT_EQ(view.fields.value(Field::cwinUploadComments), "");
    view.fields[Field::cwinUploadComments] = "Second take";
    settings["uPIN"] = "000000";
    controller->ovCommunityUploadBtn();
    EXPECT_EQ(view.alerts.back().message, "Upload notification");
    EXPECT_EQ(view.fields.value(Field::cwinUploadComments), "Second take");
    open(presetsFile());
    EXPECT_EQ(view.fields.value(Field::cwinUploadComments), "");

    const auto listed = community::parseDownloadList(client->checkForDownloads("Echo").text);
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed[0].userComments(), "Warm & wide = C+ sound #1");
    EXPECT_EQ(listed[0].object.value("user").toString(), "cara");
}

TEST_F(CommunityControllerTest, AnUploadWhoseFileCannotBeReadSendsNothing)
{
    const QString pin = server.createUser("dan");
    open(logicFile());
    signIn("dan", pin);
    const qsizetype sent = recorder.requests.size();
    QFile::remove(logicFile());
    controller->ovCommunityUploadBtn();
    EXPECT_EQ(recorder.requests.size(), sent);
    EXPECT_EQ(view.alerts.back().message, "Upload not sent");
    EXPECT_TRUE(view.alerts.back().informativeText.contains(logicFile()));
}

TEST_F(CommunityControllerTest, ASharedMappingIsListedDownloadedAndLoadedWithoutSaving)
{
    const QString pin = server.createUser("eve");
    open(logicFile());
    signIn("eve", pin);
    view.fields[Field::cwinUploadComments] = "From Logic's folder";
    controller->ovCommunityUploadBtn();

    // The other plug-in of the same name lists it.
    open(presetsFile());
    const QByteArray ownFile = readFile(presetsFile());
    controller->ovCommunityLibraryDownload();
    EXPECT_EQ(recorder.requests.last().target, "/ov_listplists.php?plugin=Echo");
    ASSERT_EQ(view.downloads.size(), 1);
    EXPECT_EQ(view.downloadSelection, 0);
    EXPECT_EQ(view.fields.value(Field::cwinUploadedComments), "From Logic's folder");
    EXPECT_TRUE(view.events.contains(QStringLiteral("show:%1").arg(int(Window::cwinDownloadWindow))));

    const size_t alertsBefore = view.alerts.size();
    controller->ovCommunityLoadSelectedDownload();
    ASSERT_TRUE(waitForAlert(alertsBefore + 1));
    EXPECT_EQ(view.alerts.back().message, "OK Done");
    EXPECT_EQ(view.alerts.back().informativeText,
              "Loaded cloud file into interface memory, please remember to save if you wish to make this your new "
              "default mapping");
    EXPECT_TRUE(log.contains("downloadDidFinish"));
    // The registration went before the fetch, and the list came again with the count.
    const qsizetype n = recorder.requests.size();
    EXPECT_EQ(recorder.requests[n - 3].target, "/ov_downloadreg.php?patchID=" + view.downloads[0].patchID().toUtf8());
    EXPECT_EQ(recorder.requests[n - 2].target, "/ov_listplists.php?plugin=Echo");
    EXPECT_EQ(recorder.requests[n - 1].method, "GET");
    EXPECT_EQ(recorder.requests[n - 1].target, "/" + view.downloads[0].fileLocation().toUtf8());
    EXPECT_EQ(view.downloads[0].object.value("downloads").toInt(), 1);
    EXPECT_EQ(slotNames().mid(0, 4), (QStringList{"Cutoff", "Output Volume", "-", "Drive"}));
    EXPECT_EQ(state.plugin_Mode, 1); // decided from the downloaded file
    EXPECT_EQ(view.controlText[2], "Output Volume");
    EXPECT_EQ(view.parameterSelection, 0);
    EXPECT_TRUE(QFileInfo::exists(presetsFile() + ".downloaded"));
    EXPECT_EQ(readFile(presetsFile()), ownFile); // not saved yet
    EXPECT_EQ(view.label(Label::labPluginPlistLocation), presetsFile());

    // Saving makes it the plug-in's mapping; the download was counted.
    controller->exportToPlist();
    EXPECT_EQ(readPlist(presetsFile()).stringArray(mapping::kControlSurfaceParameterOrderKey, std::nullopt)->mid(0, 4),
              (QStringList{"1 Cutoff", "2 Output Volume", "-1", "3 Drive"}));
    EXPECT_EQ(community::parseDownloadList(client->checkForDownloads("Echo").text)[0].object.value("downloads").toInt(),
              1);

    // The highlighted mapping's first page, once its file came.
    controller->cwinPreviewHighlighted();
    ASSERT_TRUE(waitForExchanges());
    EXPECT_EQ(view.downloadPreview.mid(0, 5), (QStringList{"Cutoff", "Output Volume", "-", "Drive", "-"}));
}

TEST_F(CommunityControllerTest, TheSignedInUserDeletesTheirOwnSharedMappingAfterAQuestion)
{
    const QString bobPin = server.createUser("bob"), evePin = server.createUser("eve");
    open(logicFile());
    for (const auto &[name, pin] :
         {std::pair{QStringLiteral("bob"), bobPin}, std::pair{QStringLiteral("eve"), evePin}}) {
        signIn(name, pin);
        controller->ovCommunityUploadBtn();
    }
    controller->ovCommunityLibraryDownload();
    ASSERT_EQ(view.downloads.size(), 2); // newest first: eve's, then bob's, which she cannot delete
    EXPECT_TRUE(view.enabled.value(Button::cwinDeleteShared));
    EXPECT_FALSE(view.downloads[1].sharedBySignedInUser);
    const QString eves = view.downloads[0].patchID();
    controller->cwinDeleteShared(); // asked, and cancelled
    EXPECT_EQ(view.confirmQuestions.at(0).message, "Delete your shared mapping of Echo?");

    // A PIN code the server no longer takes: its refusal says why, and the list stays.
    settings["uPIN"] = bobPin;
    view.confirmAnswers = {true, true};
    controller->cwinDeleteShared();
    EXPECT_EQ(view.alerts.back().informativeText,
              "The user name or the PIN code is not right. Please sign in again. Nothing was deleted.");
    EXPECT_EQ(view.downloads.size(), 2);

    settings["uPIN"] = evePin;
    controller->cwinDeleteShared();
    EXPECT_EQ(recorder.requests[recorder.requests.size() - 2].target,
              "/ov_deleteplist.php?userName=eve&pinCode=" + evePin.toUtf8() + "&patchID=" + eves.toUtf8());
    ASSERT_EQ(view.downloads.size(), 1);
    EXPECT_EQ(view.downloads[0].user(), "bob");
    EXPECT_FALSE(view.enabled.value(Button::cwinDeleteShared));
}

TEST_F(CommunityControllerTest, LoadingADownloadOverUnsavedEditsAsksFirst)
{
    const QString pin = server.createUser("gus");
    open(logicFile());
    signIn("gus", pin);
    controller->ovCommunityUploadBtn();
    open(presetsFile());
    view.parameterSelection = 0;
    controller->clickControl(1); // "-" on control 1: an unsaved edit
    ASSERT_TRUE(controller->hasUnsavedEdits());
    const QVector<mapping::ParameterEntry> edited = state.plistBuild;
    controller->ovCommunityLibraryDownload();

    // Cancel: the edits stay and nothing is loaded.
    view.saveAnswers = {View::SaveAnswer::Cancel};
    size_t alerts = view.alerts.size();
    controller->ovCommunityLoadSelectedDownload();
    const QDeadlineTimer deadline(15000);
    while (view.saveQuestions.empty() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_EQ(view.saveQuestions.size(), 1u);
    EXPECT_EQ(state.plistBuild, edited);
    EXPECT_EQ(view.alerts.size(), alerts);

    // Discard: the shared mapping replaces them, and stays unsaved until saved.
    view.saveAnswers = {View::SaveAnswer::Discard};
    alerts = view.alerts.size();
    controller->ovCommunityLoadSelectedDownload();
    ASSERT_TRUE(waitForAlert(alerts + 1));
    EXPECT_EQ(view.alerts.back().message, "OK Done");
    EXPECT_EQ(slotNames().mid(0, 2), (QStringList{"Cutoff", "Output Volume"}));
    EXPECT_TRUE(view.modified);
}

TEST_F(CommunityControllerTest, NothingSelectedOrAnEmptyList)
{
    open(presetsFile());
    controller->ovCommunityLibraryDownload();
    EXPECT_TRUE(view.downloads.isEmpty());
    EXPECT_TRUE(view.events.contains(QStringLiteral("show:%1").arg(int(Window::cwinDownloadWindow))));
    EXPECT_EQ(view.fields.value(Field::cwinUploadedComments), "");
    const qsizetype sent = recorder.requests.size();
    controller->ovCommunityLoadSelectedDownload();
    EXPECT_EQ(view.alerts.back().message, "No plist selected");
    EXPECT_EQ(view.alerts.back().informativeText,
              "Please select an item from the list before attempting to load into the current view");
    EXPECT_EQ(recorder.requests.size(), sent);
}

// A server of our own making, for the replies the real one never gives.
class FaultyServerTest : public CommunityControllerTest {
protected:
    void SetUp() override
    {
        CommunityControllerTest::SetUp();
        recorder.upstreamPort = 0;
        recorder.reply = [this](const RecordedRequest &request) {
            if (request.target.startsWith("/ov_listplists.php"))
                return CannedReply{
                    200, R"([{"patchID": 7, "fileLocation": "files/7/CSParameterOrder.plist", "userComments": "x"}])"};
            if (request.target.startsWith("/files/"))
                return fetchReply;
            return CannedReply{200, "counted"};
        };
        open(presetsFile());
        before = state.plistBuild;
        controller->ovCommunityLibraryDownload();
    }

    CannedReply fetchReply;
    QVector<mapping::ParameterEntry> before;
};

TEST_F(FaultyServerTest, ABodyThatIsNotAPropertyListIsNotLoaded)
{
    fetchReply = CannedReply{200, "<html><body>Not Found</body></html>"};
    controller->ovCommunityLoadSelectedDownload();
    ASSERT_TRUE(waitForAlert(1));
    EXPECT_EQ(view.alerts.back().message, "Shared mapping could not be read");
    EXPECT_TRUE(view.alerts.back().informativeText.contains(presetsFile() + ".downloaded"));
    EXPECT_EQ(state.plistBuild, before);
    for (const auto &alert : view.alerts)
        EXPECT_NE(alert.message, "OK Done");
}

TEST_F(FaultyServerTest, ASharedFileWithoutAParameterListKeepsThePluginsOwn)
{
    const QString shared = home.filePath("shared.plist");
    writePlist(shared, {{mapping::kControlSurfaceParameterOrderKey, {"7 Mix", "-1"}}});
    fetchReply = CannedReply{200, readFile(shared)};
    const QVector<mapping::ParameterEntry> own = view.parameters;
    ASSERT_EQ(own.size(), 2); // "-" and the plug-in's "9 Other"
    controller->ovCommunityLoadSelectedDownload();
    ASSERT_TRUE(waitForAlert(1));
    EXPECT_EQ(view.alerts.back().message, "OK Done");
    EXPECT_EQ(slotNames().mid(0, 2), (QStringList{"Mix", "-"}));
    EXPECT_EQ(view.parameters, own);
}

TEST_F(FaultyServerTest, ASharedFileHasTheModeItHasWhenOpenedFromDisk)
{
    // Logic's own Retro Synth file has no parameter list; its "5 Output Volume" makes it an instrument.
    fetchReply = CannedReply{200, readFile(ov::test::retroSynthFixture())};
    controller->ovCommunityLoadSelectedDownload();
    ASSERT_TRUE(waitForAlert(1));
    EXPECT_EQ(view.alerts.back().message, "OK Done");
    EXPECT_EQ(state.plugin_Mode, 1);
    EXPECT_EQ(view.label(Label::labelHelperDisplay), QStringLiteral("Editing Echo using Instrument Mode"));
}

TEST_F(FaultyServerTest, AFailedDownloadIsLoggedAndShown)
{
    fetchReply = CannedReply{200, QByteArray(), true};
    controller->ovCommunityLoadSelectedDownload();
    ASSERT_TRUE(waitForAlert(1));
    EXPECT_EQ(view.alerts.back().message, "The community server did not answer");
    ASSERT_EQ(log.filter("Download failed! Error - ").size(), 1);
    EXPECT_TRUE(log.filter("Download failed! Error - ")
                    .first()
                    .endsWith(recorder.baseUrl() + "files/7/CSParameterOrder.plist"));
    EXPECT_EQ(state.plistBuild, before);
}

TEST_F(FaultyServerTest, ADownloadThatEndsAfterAnotherPluginWasOpenedIsSetAside)
{
    fetchReply = CannedReply{200, readFile(logicFile())};
    controller->ovCommunityLoadSelectedDownload();
    // Before the download has a chance to finish, the user opens the other plug-in.
    open(logicFile());
    const QVector<mapping::ParameterEntry> opened = state.plistBuild;
    ASSERT_TRUE(waitForAlert(1));
    EXPECT_EQ(view.alerts.back().message, "Download set aside");
    EXPECT_TRUE(view.alerts.back().informativeText.contains(presetsFile() + ".downloaded"));
    EXPECT_EQ(state.plistBuild, opened);
    EXPECT_TRUE(QFileInfo::exists(presetsFile() + ".downloaded"));
}

} // namespace
} // namespace ov::ui::test
