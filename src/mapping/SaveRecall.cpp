#include "SaveRecall.h"

#include "AtomicFile.h"
#include "MappingTexts.h"
#include "ParameterOrderFile.h"
#include "PlistDocument.h"

#include <QFileInfo>

namespace ov::mapping {

QString backupPath(const QString &path, const QString &suffix)
{
    return path + QLatin1Char('.') + suffix;
}

QStringList slotList(const QVector<ParameterEntry> &table)
{
    QStringList list;
    list.reserve(table.size());
    for (const ParameterEntry &entry : table)
        list.append(entryString(entry));
    return list;
}

SaveResult exportToPlist(const QString &path, const QVector<ParameterEntry> &table, int pluginMode)
{
    SaveResult result;
    result.previousBackup = backupPath(path, kPreviousSuffix);

    // The file is read once: its bytes are what both backups keep, its keys what the save writes back.
    PlistRead read = PlistDocument::read(path);
    if (!read.ok()) {
        result.outcome = SaveResult::Outcome::Unreadable;
        result.failedPath = path;
        result.detail = read.error;
        return result;
    }
    PlistDocument &document = read.document;
    const QByteArray &bytes = read.bytes;
    document.setStringArray(kControlSurfaceParameterOrderKey, slotList(table));
    document.setStringArray(kOravelCSModeKey, {QString::number(pluginMode)});
    return replaceWithBackups(path, bytes, document.toXml());
}

SaveResult replaceWithBackups(const QString &path, const QByteArray &current, const QByteArray &replacement)
{
    SaveResult result;
    result.previousBackup = backupPath(path, kPreviousSuffix);
    // The original backup keeps the state from before the first save for good.
    const QString original = backupPath(path, kOriginalSuffix);
    if (!QFileInfo::exists(original) && !writeFileAtomically(original, current, &result.detail)) {
        result.outcome = SaveResult::Outcome::BackupFailed;
        result.failedPath = original;
        return result;
    }
    if (!writeFileAtomically(result.previousBackup, current, &result.detail)) {
        result.outcome = SaveResult::Outcome::BackupFailed;
        result.failedPath = result.previousBackup;
        return result;
    }
    if (!writeFileAtomically(path, replacement, &result.detail)) {
        result.outcome = SaveResult::Outcome::WriteFailed;
        result.failedPath = path;
        return result;
    }
    result.detail.clear();
    return result;
}

QString SaveResult::message() const
{
    return ok() ? texts::kMappingSaved : texts::kMappingNotSaved;
}

QString SaveResult::informativeText() const
{
    switch (outcome) {
    case Outcome::Saved:
        return texts::kMappingSavedInfo.arg(previousBackup);
    case Outcome::Unreadable:
        return texts::kSaveUnreadableInfo.arg(failedPath, detail);
    case Outcome::BackupFailed:
        return texts::kSaveBackupFailedInfo.arg(failedPath, detail);
    case Outcome::WriteFailed:
        return texts::kSaveWriteFailedInfo.arg(failedPath, detail);
    }
    return QString();
}

RecallResult recallOriginalMapping(const QString &path, const QString &suffix)
{
    RecallResult result;
    result.file = path;
    result.backup = backupPath(path, suffix);
    if (!QFileInfo::exists(result.backup)) {
        result.outcome = RecallResult::Outcome::Missing;
        return result;
    }
    // Copied to a temporary file beside the file and renamed over it: a failed copy leaves the file.
    if (!copyFileAtomically(result.backup, path, &result.detail)) {
        result.outcome = RecallResult::Outcome::CopyFailed;
        return result;
    }
    result.detail.clear();
    return result;
}

QString RecallResult::message() const
{
    switch (outcome) {
    case Outcome::Recalled:
        return texts::kRecallApplied;
    case Outcome::Missing:
        return texts::kRecallFileMissing;
    case Outcome::CopyFailed:
        return texts::kRecallFailed;
    }
    return QString();
}

QString RecallResult::informativeText() const
{
    switch (outcome) {
    case Outcome::Recalled:
        return texts::kRecallAppliedInfo;
    case Outcome::Missing:
        return texts::kRecallFileMissingInfo;
    case Outcome::CopyFailed:
        return texts::kRecallCopyFailedInfo.arg(backup, file, detail);
    }
    return QString();
}

} // namespace ov::mapping
