#pragma once

#include <QString>

// The user-facing texts of the community library, exactly as the user sees them.
namespace ov::community::texts {

inline const QString kLoggedInAs = QStringLiteral("Logged in as %1"); // %1: the user name
inline const QString kNotLoggedIn = QStringLiteral("Not Logged In");
inline const QString kLoginFailed = QStringLiteral("Login failed");
inline const QString kLoginFailedInfo = QStringLiteral("Please recheck your sign-in details and try again");
inline const QString kCreateNewUserResponse = QStringLiteral("Create New User Response");

inline const QString kUploadNotification = QStringLiteral("Upload notification");

inline const QString kNoPlistSelected = QStringLiteral("No plist selected");
inline const QString kNoPlistSelectedInfo =
    QStringLiteral("Please select an item from the list before attempting to load into the current view");
inline const QString kOkDone = QStringLiteral("OK Done");
inline const QString kOkDoneInfo = QStringLiteral(
    "Loaded cloud file into interface memory, please remember to save if you wish to make this your new default "
    "mapping");

// Console lines.
inline const QString kDownloadDidFinishLog = QStringLiteral("downloadDidFinish");
inline const QString kDownloadFailedLog = QStringLiteral("Download failed! Error - %1 %2"); // error, URL

// Our own texts, where a failure used to pass in silence or as a success.
inline const QString kUploadNotSent = QStringLiteral("Upload not sent");
inline const QString kUploadNotSentInfo = QStringLiteral("The file %1 could not be read (%2). Nothing was sent.");
inline const QString kDownloadFailed = QStringLiteral("Download failed");
inline const QString kDownloadFailedInfo = QStringLiteral("The shared mapping could not be downloaded from %1 (%2).");
inline const QString kReplyTooLarge = QStringLiteral("the reply is larger than %1 bytes"); // the bound
inline const QString kDownloadUnreadable = QStringLiteral("Shared mapping could not be read");
inline const QString kDownloadUnreadableInfo = QStringLiteral(
    "The file downloaded to %1 is not a property list (%2). Nothing was loaded; the editor is as it was.");
// When the community server did not answer in the protocol: no connection, a refused or failed
// one, past the deadline, cancelled, a refused redirect, or a reply that is not what the exchange
// expects. The reason is one of those below or the network's own error text.
inline const QString kServerDidNotAnswer = QStringLiteral("The community server did not answer");
inline const QString kServerDidNotAnswerInfo = QStringLiteral("The community server at %1 did not answer: %2.");
inline const QString kTimedOut = QStringLiteral("timed out after %1 seconds"); // the deadline
inline const QString kCancelled = QStringLiteral("cancelled while waiting");
inline const QString kRedirectRefused = QStringLiteral("it sent the request on to %1, which is not followed"); // URL
inline const QString kHttpStatus = QStringLiteral("HTTP status %1 %2");                      // code, reason
inline const QString kHttpStatusSaying = QStringLiteral("HTTP status %1 %2, saying \"%3\""); // and its text
inline const QString kNotADownloadList = QStringLiteral("its reply is not a list of shared mappings");
// Shown, with a Cancel button, while an exchange runs.
inline const QString kWaitingForServer = QStringLiteral("Waiting for the community server at %1\u2026");
inline const QString kStartUpCheckFailedLog =
    QStringLiteral("The community server at %1 did not answer the sign-in check: %2"); // URL, reason

// Deleting a mapping the signed-in user shared.
inline const QString kDeleteSharedQuestion = QStringLiteral("Delete your shared mapping of %1?"); // the plug-in
inline const QString kDeleteSharedQuestionInfo =
    QStringLiteral("It was shared on %1 with the comment \"%2\". Other users will no longer find it in the community "
                   "library, and it cannot be brought back."); // date, comment
inline const QString kSharedMappingDeleted = QStringLiteral("Shared mapping deleted");
inline const QString kSharedMappingNotDeleted = QStringLiteral("Shared mapping not deleted");

inline const QString kSignOutQuestion = QStringLiteral("Sign out of the community library?");
inline const QString kSignOutQuestionInfo =
    QStringLiteral("The PIN code of %1 will be forgotten on this computer, and the server cannot show it again. Keep "
                   "it somewhere safe if you want to sign in as %1 later."); // the user name

inline const QString kDownloadSetAside = QStringLiteral("Download set aside");
inline const QString kDownloadSetAsideInfo = QStringLiteral(
    "The shared mapping finished downloading after another plug-in was opened, so it was not loaded into it. It "
    "was kept at %1.");

} // namespace ov::community::texts
