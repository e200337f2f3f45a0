#pragma once

#include "ParameterEntry.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace ov::mapping {

inline const QString kOriginalSuffix = QStringLiteral("original");
inline const QString kPreviousSuffix = QStringLiteral("prev");

// The backup of `path` with the given suffix ("original" or "prev").
QString backupPath(const QString &path, const QString &suffix);

// The slot strings a save writes: one per entry, every page included.
QStringList slotList(const QVector<ParameterEntry> &table);

struct SaveResult final {
    enum class Outcome {
        Saved,
        Unreadable,   // the file is no longer a readable property-list dictionary: nothing written
        BackupFailed, // a backup could not be written: the file itself was not touched
        WriteFailed,  // the file could not be replaced: it stands as before, the backups are written
    };
    Outcome outcome = Outcome::Saved;
    QString previousBackup; // the ".prev" path
    QString failedPath;     // the file that could not be read or written
    QString detail;         // why

    bool ok() const { return outcome == Outcome::Saved; }
    // The alert's two texts for this result.
    QString message() const;
    QString informativeText() const;
};

// Writes the table and the mode into the file at `path`, after copying the file as it was to
// ".original" (first save only) and ".prev". Every other key of the file stays as it was. Each file
// is written to a temporary file beside it and renamed into place.
SaveResult exportToPlist(const QString &path, const QVector<ParameterEntry> &table, int pluginMode);

// Replaces the file at `path`, whose bytes are `current`, by `replacement` with the backups a save
// makes: `current` goes to ".original" (when there is none) and to ".prev" before the file is replaced.
SaveResult replaceWithBackups(const QString &path, const QByteArray &current, const QByteArray &replacement);

struct RecallResult final {
    enum class Outcome {
        Recalled,
        Missing,
        CopyFailed
    };
    Outcome outcome = Outcome::Recalled;
    QString file;
    QString backup;
    QString detail;

    bool ok() const { return outcome == Outcome::Recalled; }
    QString message() const;
    QString informativeText() const;
};

// Puts the backup with the given suffix back over the file, in one step; the backup stays.
RecallResult recallOriginalMapping(const QString &path, const QString &suffix);

} // namespace ov::mapping
