// The community library's actions of the main window: the account, uploading, and downloading.
#include "ViewController.h"

#include "community/CommunityClient.h"
#include "community/CommunityTexts.h"
#include "mapping/AtomicFile.h"
#include "mapping/ParameterOrderFile.h"
#include "mapping/PlistDocument.h"
#include "panel/PanelLabels.h"
#include "ui/UiTexts.h"

#include <QFile>
#include <QLocale>

namespace ov::ui {

namespace {

namespace ctexts = community::texts;

const QString kUserNameKey = QStringLiteral("uName");
const QString kPinCodeKey = QStringLiteral("uPIN");

// The wait notice for as long as it lives: an exchange runs, and its Cancel ends the wait.
class ServerWait final {
public:
    ServerWait(View &view, community::CommunityClient &client) : m_view(view)
    {
        m_view.showWaitNotice(ctexts::kWaitingForServer.arg(client.baseUrl()), [&client] { client.cancelWaiting(); });
    }
    ~ServerWait() { m_view.closeWaitNotice(); }
    Q_DISABLE_COPY_MOVE(ServerWait)

private:
    View &m_view;
};

// Where a download for the open plug-in lands: beside its parameter-order file.
QString downloadDestination(const QString &fileLocation)
{
    return fileLocation + QStringLiteral(".downloaded");
}

} // namespace

ViewController::~ViewController()
{
    delete m_startUpCheck.data();
    delete m_previewFetch.data();
}

bool ViewController::alertServerFailure(const QString &failure)
{
    if (failure.isEmpty())
        return false;
    const QString address = m_environment.community ? m_environment.community->baseUrl() : QString();
    alertUser(ctexts::kServerDidNotAnswer, ctexts::kServerDidNotAnswerInfo.arg(address, failure));
    return true;
}

// ---- the account ----

void ViewController::ovLoginToCloudAccount()
{
    m_view.showWindow(Window::cwinCloudWindow);
}

void ViewController::cwinLoginAttempt()
{
    if (!m_environment.community)
        return;
    const QString userName = m_view.fieldText(Field::cwinUserName);
    const QString pinCode = m_view.fieldText(Field::cwinPinCode);
    // What the user asks for now decides, not the start-up check's late answer.
    delete m_startUpCheck.data();
    community::ExchangeReply reply;
    {
        ServerWait waiting(m_view, *m_environment.community);
        reply = m_environment.community->checkCloudUserName(userName, pinCode);
    }
    // Not the user's fault: whoever was signed in stays so, and nothing is stored.
    if (alertServerFailure(reply.failure))
        return;
    if (community::isOkReply(reply)) {
        // Only a pair the server accepted is stored: a mistyped PIN must not replace the good one,
        // which the server never shows again.
        writePrefsFile(userName, pinCode);
        changeLoginState(userName, 1);
        m_view.closeWindow(Window::cwinCloudWindow);
        return;
    }
    alertUser(ctexts::kLoginFailed, ctexts::kLoginFailedInfo);
    changeLoginState(userName, 0);
}

void ViewController::cwinNewUserCreate()
{
    if (!m_environment.community)
        return;
    community::ExchangeReply reply;
    {
        ServerWait waiting(m_view, *m_environment.community);
        reply = m_environment.community->createNewCloudUserName(m_view.fieldText(Field::cwinUserNameNew),
                                                                m_view.fieldText(Field::cwinEmailAddrNew));
    }
    if (alertServerFailure(reply.failure))
        return;
    alertUser(ctexts::kCreateNewUserResponse, reply.text.value_or(QString()));
    // The new account, ready to sign in with.
    if (const std::optional<QString> pinCode = community::newUserPinCode(reply)) {
        m_view.setFieldText(Field::cwinUserName, m_view.fieldText(Field::cwinUserNameNew));
        m_view.setFieldText(Field::cwinPinCode, *pinCode);
    }
}

void ViewController::ovSignOut()
{
    delete m_startUpCheck.data();
    if (m_state.loggedInAs == kNoOneHere)
        return;
    if (!m_view.askToConfirm(ctexts::kSignOutQuestion, ctexts::kSignOutQuestionInfo.arg(m_state.loggedInAs),
                             texts::kSignOut))
        return;
    writePrefsFile(m_state.loggedInAs, QString());
    m_view.setFieldText(Field::cwinPinCode, QString());
    m_view.closeWindow(Window::cwinUploadWindow);
    changeLoginState(m_state.loggedInAs, 0);
}

void ViewController::writePrefsFile(const QString &userName, const QString &pinCode)
{
    if (!m_environment.writeSetting)
        return;
    m_environment.writeSetting(kUserNameKey, userName);
    m_environment.writeSetting(kPinCodeKey, pinCode);
}

void ViewController::readPrefsFile()
{
    // Nothing stored yet is sent as empty values; the server refuses them.
    const QString userName = m_environment.readSetting ? m_environment.readSetting(kUserNameKey) : QString();
    const QString pinCode = m_environment.readSetting ? m_environment.readSetting(kPinCodeKey) : QString();
    // Signed out until the server says otherwise; the window does not wait for it.
    changeLoginState(userName, 0);
    if (!userName.isEmpty())
        m_view.setFieldText(Field::cwinUserName, userName);
    delete m_startUpCheck.data();
    community::CommunityClient *client = m_environment.community;
    if (!client)
        return;
    community::PendingExchange *check =
        client->send(community::checkUserEndpoint(userName, pinCode), client->deadlines().quickMs);
    m_startUpCheck = check;
    QObject::connect(check, &community::PendingExchange::finished, check, [this, check, client, userName] {
        check->deleteLater();
        const community::ExchangeReply &reply = check->reply();
        if (!reply.answered())
            m_environment.log(ctexts::kStartUpCheckFailedLog.arg(client->baseUrl(), reply.failure));
        else if (community::isOkReply(reply))
            changeLoginState(userName, 1);
    });
}

void ViewController::changeLoginState(const QString &userName, int state)
{
    if (state == 1) {
        m_view.setLabelText(Label::labLoggedInAs, ctexts::kLoggedInAs.arg(userName));
        m_state.loggedInAs = userName;
    } else {
        m_view.setLabelText(Label::labLoggedInAs, ctexts::kNotLoggedIn);
        m_state.loggedInAs = kNoOneHere;
    }
    // Sharing also needs a plug-in open.
    showShareButton();
    m_view.setButtonEnabled(Button::ovSignOut, m_state.loggedInAs != kNoOneHere);
}

// ---- uploading ----

void ViewController::ovCommunityLibrary()
{
    m_view.showWindow(Window::cwinUploadWindow);
}

void ViewController::ovCommunityUploadBtn()
{
    if (!m_environment.community)
        return;
    const QString path = m_view.labelText(Label::labPluginPlistLocation);
    const QString comments = m_view.fieldText(Field::cwinUploadComments);
    const std::optional<catalogue::PluginRecord> plugin = m_view.selectedPlugin();
    // A file that cannot be read is not sent as an empty one.
    QByteArray file;
    QString error;
    if (path.isEmpty() || !plugin) {
        alertUser(ctexts::kUploadNotSent, ctexts::kUploadNotSentInfo.arg(path, QStringLiteral("no plug-in is open")));
        return;
    }
    if (!mapping::readWholeFile(path, &file, &error)) {
        alertUser(ctexts::kUploadNotSent, ctexts::kUploadNotSentInfo.arg(path, error));
        return;
    }
    community::ExchangeReply reply;
    {
        ServerWait waiting(m_view, *m_environment.community);
        // Signed in means the stored PIN code is the one that passed the last check.
        const QString pinCode = m_environment.readSetting ? m_environment.readSetting(kPinCodeKey) : QString();
        reply =
            m_environment.community->uploadFileToServer(file, m_state.loggedInAs, plugin->Plugin, comments, pinCode);
    }
    // The window stays open, with the comment, for another try.
    if (alertServerFailure(reply.failure))
        return;
    alertUser(ctexts::kUploadNotification, reply.text.value_or(QString()));
    // The comment was that upload's: a later upload of the same window starts without it.
    if (reply.accepted())
        m_view.setFieldText(Field::cwinUploadComments, QString());
    m_view.closeWindow(Window::cwinUploadWindow);
}

// ---- listing and downloading ----

void ViewController::ovCommunityLibraryDownload()
{
    if (!m_environment.community)
        return;
    m_view.setDownloadList({});
    const std::optional<catalogue::PluginRecord> plugin = m_view.selectedPlugin();
    community::ExchangeReply reply;
    {
        ServerWait waiting(m_view, *m_environment.community);
        reply = m_environment.community->checkForDownloads(plugin ? plugin->Plugin : QString());
    }
    // No list is not an empty one.
    if (alertServerFailure(reply.failure)) {
        cwin_DownloadAvalableHighlighted();
        return;
    }
    showDownloadList(community::parseDownloadList(reply.text), QString());
    m_view.showWindow(Window::cwinDownloadWindow);
}

void ViewController::showDownloadList(QVector<community::DownloadListEntry> entries, const QString &selectPatchId)
{
    int selected = 0;
    for (qsizetype row = 0; row < entries.size(); ++row) {
        community::DownloadListEntry &entry = entries[row];
        entry.sharedBySignedInUser = m_state.loggedInAs != kNoOneHere && entry.isSharedBy(m_state.loggedInAs);
        if (!selectPatchId.isEmpty() && entry.patchID() == selectPatchId)
            selected = int(row);
    }
    m_view.setDownloadList(entries);
    m_view.setDownloadSelectionIndex(selected);
    cwin_DownloadAvalableHighlighted();
}

bool ViewController::refreshDownloadList(const QString &selectPatchId)
{
    const std::optional<catalogue::PluginRecord> plugin = m_view.selectedPlugin();
    const community::ExchangeReply reply =
        m_environment.community->checkForDownloads(plugin ? plugin->Plugin : QString());
    if (!reply.answered())
        return false;
    showDownloadList(community::parseDownloadList(reply.text), selectPatchId);
    return true;
}

void ViewController::cwin_DownloadAvalableHighlighted()
{
    const std::optional<community::DownloadListEntry> entry = m_view.selectedDownload();
    m_view.setFieldText(Field::cwinUploadedComments, entry ? entry->userComments() : QString());
    m_view.setButtonEnabled(Button::cwinDeleteShared, entry && entry->sharedBySignedInUser);
}

void ViewController::cwinPreviewHighlighted()
{
    delete m_previewFetch.data();
    m_view.setDownloadPreview({});
    const std::optional<community::DownloadListEntry> entry = m_view.selectedDownload();
    community::CommunityClient *client = m_environment.community;
    if (!entry || !client)
        return;
    community::PendingExchange *fetch =
        client->fetchFile(community::fetchUrl(client->baseUrl(), entry->fileLocation()));
    m_previewFetch = fetch;
    QObject::connect(fetch, &community::PendingExchange::finished, fetch, [this, fetch] {
        fetch->deleteLater();
        // Without a readable file the preview stays empty; loading it says why.
        if (!fetch->reply().answered())
            return;
        const mapping::PlistRead read = mapping::PlistDocument::parse(fetch->body());
        if (!read.ok())
            return;
        mapping::MappingTable table;
        const mapping::LoadedMapping loaded = mapping::loadMapping(read.document, 0, m_state.plugin_Mode);
        table.plistBuild = loaded.plistBuild;
        table.totalPages = loaded.totalPages;
        const panel::PanelLabels labels = panel::labelsForPage(table, 1);
        // A parameter without a name shows its number, as on the panel.
        QStringList names;
        for (int control = 0; control < mapping::kControlsPerPage; ++control)
            names.append(labels.text[control].isEmpty() ? labels.number[control] : labels.text[control]);
        m_view.setDownloadPreview(names);
    });
}

void ViewController::cwinDeleteShared()
{
    const std::optional<community::DownloadListEntry> entry = m_view.selectedDownload();
    if (!m_environment.community || !entry || !entry->sharedBySignedInUser)
        return;
    const std::optional<catalogue::PluginRecord> plugin = m_view.selectedPlugin();
    const QString uploaded = QLocale().toString(entry->uploadedAt().date(), QLocale::ShortFormat);
    if (!m_view.askToConfirm(ctexts::kDeleteSharedQuestion.arg(plugin ? plugin->Plugin : QString()),
                             ctexts::kDeleteSharedQuestionInfo.arg(uploaded, entry->userComments().simplified()),
                             texts::kDeleteSharedButton))
        return;
    community::ExchangeReply reply;
    {
        ServerWait waiting(m_view, *m_environment.community);
        const QString pinCode = m_environment.readSetting ? m_environment.readSetting(kPinCodeKey) : QString();
        reply = m_environment.community->deleteSharedMapping(m_state.loggedInAs, pinCode, entry->patchID());
        if (reply.accepted())
            refreshDownloadList(QString());
    }
    if (alertServerFailure(reply.failure))
        return;
    // The server's refusal says why: a wrong PIN code, another user's mapping, one gone already.
    if (!reply.accepted()) {
        alertUser(ctexts::kSharedMappingNotDeleted, reply.text.value_or(QString()));
        return;
    }
    alertUser(ctexts::kSharedMappingDeleted, reply.text.value_or(QString()));
    // Back to the list, which the window system may have put behind the main window meanwhile.
    m_view.showWindow(Window::cwinDownloadWindow);
}

void ViewController::ovCommunityLoadSelectedDownload()
{
    if (!m_environment.community)
        return;
    const std::optional<community::DownloadListEntry> entry = m_view.selectedDownload();
    if (!entry) {
        alertUser(ctexts::kNoPlistSelected, ctexts::kNoPlistSelectedInfo);
        return;
    }
    const QString location = m_view.labelText(Label::labPluginPlistLocation);
    if (location.isEmpty())
        return;
    const QString destination = downloadDestination(location);
    const QString url = community::fetchUrl(m_environment.community->baseUrl(), entry->fileLocation());
    community::ExchangeReply registration;
    {
        ServerWait waiting(m_view, *m_environment.community);
        registration = m_environment.community->registerCloudDownloadAttempt(entry->patchID());
        // The Downloads column shows the count with this download; a list that does not come stays as it was.
        if (registration.answered())
            refreshDownloadList(entry->patchID());
    }
    // Whatever the server answers, the download goes on; a server that did not answer is not asked again.
    if (alertServerFailure(registration.failure))
        return;
    QFile::remove(destination);
    startDownloadingURL(url, destination);
}

void ViewController::startDownloadingURL(const QString &url, const QString &localPath)
{
    community::FileDownload *download = m_environment.community->startDownloadingURL(url, localPath);
    QObject::connect(download, &community::FileDownload::downloadDidFinish, download,
                     [this](community::FileDownload *finished) { downloadDidFinish(finished->localPath()); });
    QObject::connect(download, &community::FileDownload::downloadFailed, download,
                     [this](community::FileDownload *failed, const QString &error, bool byServer) {
                         downloadFailed(error, failed->url(), byServer);
                     });
}

void ViewController::downloadDidFinish(const QString &localPath)
{
    m_environment.log(ctexts::kDownloadDidFinishLog);
    // The download belongs to the plug-in it was started for; another one opened since is left alone.
    const QString location = m_view.labelText(Label::labPluginPlistLocation);
    if (location.isEmpty() || downloadDestination(location) != localPath) {
        alertUser(ctexts::kDownloadSetAside, ctexts::kDownloadSetAsideInfo.arg(localPath));
        return;
    }
    // An error page or a cut-off file is not loaded as an empty mapping that a save would write.
    mapping::PlistRead download = mapping::PlistDocument::read(localPath);
    if (!download.ok()) {
        alertUser(ctexts::kDownloadUnreadable, ctexts::kDownloadUnreadableInfo.arg(localPath, download.error));
        return;
    }
    mapping::PlistDocument &document = download.document;
    if (!confirmUnsavedEdits())
        return; // the download stays beside the file; the mapping shown is unchanged
    // A shared file without a list of parameters (written by another program) keeps the plug-in's
    // own list, so that its parameters can still be put on the controls.
    std::optional<QVector<mapping::ParameterEntry>> ownParameters;
    if (mapping::storedUniqueParameters(document).isEmpty()) {
        ownParameters =
            mapping::loadMapping(mapping::PlistDocument::read(location).document, 0, m_state.plugin_Mode).available;
        // The mode is decided as for the same file opened from disk, where opening builds the list
        // from the slots first (in memory only: the download is not written).
        mapping::addAvailableParameterList(document);
    }
    readPlistFile(localPath, document, 1, ownParameters); // the bytes checked above; shows page 1
    alertUser(ctexts::kOkDone, ctexts::kOkDoneInfo);
}

void ViewController::downloadFailed(const QString &error, const QString &url, bool byServer)
{
    m_environment.log(ctexts::kDownloadFailedLog.arg(error, url));
    if (byServer)
        alertServerFailure(error);
    else
        alertUser(ctexts::kDownloadFailed, ctexts::kDownloadFailedInfo.arg(url, error));
}

} // namespace ov::ui
