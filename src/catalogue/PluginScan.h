#pragma once

#include "PluginRecord.h"

#include <functional>

namespace ov::catalogue {

inline const QString kLogicTypeLabel = QStringLiteral("Logic");
inline const QString kThirdPartyTypeLabel = QStringLiteral("3rd Party");
inline const QString kPluginSettingsFolderName = QStringLiteral("Plug-In Settings");
// Logic's own plug-ins, under the home folder; found whatever the letter case of the last folder.
inline const QString kLogicSettingsRoot = QStringLiteral("/Music/Audio Music Apps/Plug-In settings");
// Other makers' plug-ins, under the home folder.
inline const QString kThirdPartyRoot = QStringLiteral("/Library/Audio/Presets");
// Logic's settings shared by all users of the machine.
inline const QString kAllUsersLogicRoot = QStringLiteral("/Library/Application Support/Logic/Plug-In Settings");

inline const QString kScreenTitleAfterScan = QStringLiteral("Please Select a plugin");
inline const QString kStatusAfterScan = QStringLiteral("Please Select a Plugin");

// Receives the scan's console lines ("Reading Folder: ...", "Enumerator Error: ...", "Error Here").
using LogSink = std::function<void(const QString &line)>;

struct ScanRoot final {
    QString path;
    QString typeLabel;
};

// The roots in scan order: Logic's folder in the home folder (each folder whose name matches
// "Plug-In Settings" in any letter case), the third-party presets, and the all-users Logic folder.
QVector<ScanRoot> scanRoots(const QString &home, const QString &allUsersRoot = kAllUsersLogicRoot);

// Walks one tree (hidden entries included, symbolic links never followed) in name order and returns
// a record for every file named exactly "CSParameterOrder.plist". Unreadable folders are logged and
// passed over.
PluginList checkFiles(const QString &root, const QString &typeLabel, const LogSink &log);

// Scans every root in order; the records of each root follow those of the one before.
PluginList scanPlugins(const QVector<ScanRoot> &roots, const LogSink &log);

} // namespace ov::catalogue
