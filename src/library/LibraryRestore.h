#pragma once

#include "LibraryBackup.h"

#include <QSet>
#include <QString>
#include <QVector>

#include <optional>

namespace ov::library {

enum class RestoreState {
    Same,    // the file on disk is the archived one, byte for byte
    Differs, // the file on disk differs: it becomes ".prev" when the archived one replaces it
    New,     // no such file on disk: the archived one is written with its archived backups
    Refused, // the entry is unsafe, damaged or does not match its checksum: nothing of it is written
};

struct RestoreItem final {
    QString plugin;
    QString type;
    QString name; // the entry's name in the archive
    RestoreState state = RestoreState::Refused;
    int changedControls = -1; // for Differs: the controls whose parameter differs; -1 when the file on
                              // disk is not a readable mapping
    QString target;           // where it goes on disk
    bool restored = false;
    QString detail; // why it was refused, or why writing it failed
};

struct RestoreReport final {
    QString fatal; // why the archive could not be read at all; empty when it could
    QVector<RestoreItem> items;
    // Items refused, or whose writing failed.
    int problems() const;
};

// Compares every plug-in of the archive with its file below `roots` and, unless `dryRun`, writes
// those that differ (as a save writes, with backups) or are new. A refused or failed plug-in is
// reported and the others go on. With `only`, just the entries it names are written; the others are
// compared as in a dry run.
RestoreReport restoreLibrary(const QString &archivePath, const QVector<SettingsRoot> &roots, bool dryRun,
                             const std::optional<QSet<QString>> &only = std::nullopt);

} // namespace ov::library
