#pragma once

#include <QString>

// The application shell's texts and log lines, exactly as written.
namespace ov::app::texts {

inline const QString kStoreFileName = QStringLiteral("OSXCoreDataObjC.storedata");

inline const QString kErrorDomain = QStringLiteral("YOUR_ERROR_DOMAIN");
inline constexpr int kErrorCode = 9999;
inline const QString kFailedToInitialize = QStringLiteral("Failed to initialize the application's saved data");
// %1: the path where the store's folder should be.
inline const QString kFoundAFile = QStringLiteral("Expected a folder to store application data, found a file (%1).");
inline const QString kErrorCreatingOrLoading =
    QStringLiteral("There was an error creating or loading the application's saved data.");

// Our own text for a failed save of the store; the reason follows it.
inline const QString kSaveFailed = QStringLiteral("The application's saved data could not be saved.");

// The quit question; looked up for a translation with the English text as the key.
inline constexpr char kCouldNotSaveWhileQuitting[] = "Could not save changes while quitting. Quit anyway?";
inline constexpr char kQuittingLosesChanges[] =
    "Quitting now will lose any changes you have made since the last successful save";
inline constexpr char kQuitAnyway[] = "Quit anyway";
inline constexpr char kCancel[] = "Cancel";

// Log lines: %1 the class, %2 the command.
inline const QString kUnableToCommitBeforeSaving = QStringLiteral("%1:%2 unable to commit editing before saving");
inline const QString kUnableToCommitToTerminate = QStringLiteral("%1:%2 unable to commit editing to terminate");

} // namespace ov::app::texts
