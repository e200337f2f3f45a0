#include "LibraryBackup.h"

#include "BackupManifest.h"
#include "LibraryTexts.h"
#include "ZipArchive.h"
#include "mapping/AtomicFile.h"
#include "ov/Version.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace ov::library {

QVector<SettingsRoot> settingsRoots(const QString &home, const QString &allUsersRoot)
{
    QVector<SettingsRoot> roots;
    for (const catalogue::ScanRoot &root : catalogue::scanRoots(home, allUsersRoot)) {
        const QString key = !allUsersRoot.isEmpty() && root.path == allUsersRoot ? kMachineLogicRoot
                            : root.typeLabel == catalogue::kThirdPartyTypeLabel  ? kUserPresetsRoot
                                                                                 : kUserLogicRoot;
        // A home without Logic's folder gets it under the name Logic gives it.
        const QString path = key == kUserLogicRoot && !QFileInfo::exists(root.path)
                                 ? QFileInfo(root.path).path() + QLatin1Char('/') + catalogue::kPluginSettingsFolderName
                                 : root.path;
        roots.append({key, path, root.typeLabel});
    }
    return roots;
}

int BackupReport::failures() const
{
    return static_cast<int>(
        std::count_if(items.begin(), items.end(), [](const BackupItem &item) { return !item.failure.isEmpty(); }));
}

BackupReport backUpLibrary(const QVector<SettingsRoot> &roots, const QString &output, const catalogue::LogSink &logSink)
{
    const catalogue::LogSink log = logSink ? logSink : [](const QString &) {};
    BackupReport report;
    Manifest manifest;
    manifest.programVersion = QString::fromLatin1(ov::kVersion);
    manifest.created = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    QVector<ZipEntry> files;
    QHash<QString, QString> takenFrom; // entry name -> the file it was taken from
    for (const SettingsRoot &root : roots) {
        const QDir rootDir(root.path);
        for (const catalogue::PluginRecord &record : catalogue::checkFiles(root.path, root.typeLabel, log)) {
            ManifestPlugin plugin{
                record.Plugin, record.Type, root.key, rootDir.relativeFilePath(record.fileLocation), {}};
            BackupItem item{record.Plugin, record.Type, plugin.entryName(QString()), 0, QString()};
            if (takenFrom.contains(item.name)) {
                item.failure = texts::kSameFolderTwice.arg(takenFrom.value(item.name));
                report.items.append(item);
                continue;
            }
            QVector<ZipEntry> pluginFiles;
            for (const QString &suffix : kBackedUpSuffixes) {
                const QString path = record.fileLocation + suffix;
                const QFileInfo info(path);
                if (!suffix.isEmpty() && !info.isFile())
                    continue;
                ZipEntry entry{plugin.entryName(suffix), {}, info.lastModified(), true, {}};
                QString error;
                if (!mapping::readWholeFile(path, &entry.bytes, &error)) {
                    item.failure = texts::kCannotRead.arg(path, error);
                    break;
                }
                plugin.files.append({suffix, sha256Hex(entry.bytes), entry.bytes.size()});
                pluginFiles.append(std::move(entry));
            }
            if (item.failure.isEmpty()) {
                takenFrom.insert(item.name, record.fileLocation);
                item.files = static_cast<int>(pluginFiles.size());
                files += pluginFiles;
                manifest.plugins.append(std::move(plugin));
            }
            report.items.append(item);
        }
    }
    files.prepend(ZipEntry{kManifestName, manifestJson(manifest), QDateTime::currentDateTimeUtc(), true, {}});
    QString error;
    if (!writeZip(output, files, &error))
        report.fatal = texts::kCannotWriteArchive.arg(output, error);
    return report;
}

} // namespace ov::library
