#pragma once

#include <QString>

// What backing up and restoring the library tell the user.
namespace ov::library::texts {

// Why an archive's entry is refused. %1: the name, where one is given.
inline const QString kAbsolutePath = QStringLiteral("an absolute path");
inline const QString kLeavesRoot = QStringLiteral("the path leaves the settings folder");
inline const QString kNotPlainPath = QStringLiteral("not a plain path (empty, '.' or control characters in it)");
inline const QString kNotParameterOrderFile = QStringLiteral("not a parameter-order file in a plug-in's folder");
inline const QString kUnknownRoot = QStringLiteral("an unknown settings folder '%1'");
inline const QString kUnknownSuffix = QStringLiteral("an unknown file '%1'");
inline const QString kListedTwice = QStringLiteral("listed twice in the manifest");
inline const QString kMissingEntry = QStringLiteral("%1 is missing from the archive");
inline const QString kEntryTwice = QStringLiteral("%1 is in the archive twice");
inline const QString kNotRegularFile = QStringLiteral("%1 is a link or not a plain file");
inline const QString kDamagedEntry = QStringLiteral("%1 is damaged: %2");
inline const QString kChecksumMismatch = QStringLiteral("%1 does not match its checksum");
inline const QString kNotAMapping = QStringLiteral("%1 is not a property-list dictionary: %2");
inline const QString kThroughLink = QStringLiteral("the path goes through the link %1");
inline const QString kNotInManifest = QStringLiteral("not listed in the manifest");
inline const QString kNothingWritten = QStringLiteral("; nothing of it was written");

// Why a plug-in could not be written. %1: the path, %2: the reason.
inline const QString kCannotMakeFolder = QStringLiteral("the folder %1 could not be made");
inline const QString kCannotWrite = QStringLiteral("%1 could not be written: %2");
inline const QString kCannotRead = QStringLiteral("%1 could not be read: %2");

// Why a whole archive is refused. %1: the archive, %2: the reason.
inline const QString kNotABackup = QStringLiteral("%1 is not a library backup: %2");
inline const QString kNoManifest = QStringLiteral("it holds no readable %1");
inline const QString kArchiveDamaged = QStringLiteral("damaged after its last readable entry: %1");

// Backing up. %1: the plug-in's entry, %2: the other folder.
inline const QString kSameFolderTwice = QStringLiteral("already backed up from %1 (folders whose names differ only in "
                                                       "letter case)");
inline const QString kCannotWriteArchive = QStringLiteral("The archive %1 could not be written: %2");

} // namespace ov::library::texts
