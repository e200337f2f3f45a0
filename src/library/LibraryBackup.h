#pragma once

#include "catalogue/PluginScan.h"

#include <QString>
#include <QVector>

namespace ov::library {

// The settings folders as the archive names them, so a backup finds its way to another home.
inline const QString kUserLogicRoot = QStringLiteral("user-logic");
inline const QString kUserPresetsRoot = QStringLiteral("user-presets");
inline const QString kMachineLogicRoot = QStringLiteral("machine-logic");

struct SettingsRoot final {
    QString key;
    QString path;
    QString typeLabel;
};

// The folders the scan reads for `home`, named; an empty `allUsersRoot` leaves the machine's out.
QVector<SettingsRoot> settingsRoots(const QString &home, const QString &allUsersRoot);

// The files kept beside a parameter-order file that a backup takes along.
inline const QStringList kBackedUpSuffixes{QString(), QStringLiteral(".original"), QStringLiteral(".prev")};

struct BackupItem final {
    QString plugin;
    QString type;
    QString name;    // the parameter-order file's name in the archive
    int files = 0;   // how many of its files went in
    QString failure; // why it was left out; empty when it went in
};

struct BackupReport final {
    QString fatal; // why no archive was written; empty when one was
    QVector<BackupItem> items;
    int failures() const;
};

// Writes one zip archive at `output` of every parameter-order file the scan of `roots` finds, with
// its backups and a manifest. A plug-in whose files cannot be read is reported and left out.
BackupReport backUpLibrary(const QVector<SettingsRoot> &roots, const QString &output,
                           const catalogue::LogSink &log = {});

} // namespace ov::library
