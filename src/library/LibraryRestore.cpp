#include "LibraryRestore.h"

#include "BackupManifest.h"
#include "LibraryTexts.h"
#include "ZipArchive.h"
#include "mapping/AtomicFile.h"
#include "mapping/MappingDiff.h"
#include "mapping/ParameterOrderFile.h"
#include "mapping/SaveRecall.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QThreadPool>

#include <functional>

#include <optional>

namespace ov::library {

namespace {

// Writers at once: a sync to disk mostly waits, and a file system joins waiting syncs into one.
constexpr int kRestoreWorkers = 48;

// Why an archived path may not be written below a settings folder; nothing when it may.
std::optional<QString> unsafePath(const QString &path)
{
    if (path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\'))
        || (path.size() > 1 && path.at(1) == QLatin1Char(':')))
        return texts::kAbsolutePath;
    const QStringList names = path.split(QLatin1Char('/'));
    for (const QString &name : names) {
        if (name == QLatin1String(".."))
            return texts::kLeavesRoot;
        if (name.isEmpty() || name == QLatin1String(".")
            || std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; }))
            return texts::kNotPlainPath;
    }
    if (names.size() < 2 || names.last() != mapping::kParameterOrderFileName)
        return texts::kNotParameterOrderFile;
    return std::nullopt;
}

// The first link on the way from `root` down to `target` and its backups, if any.
std::optional<QString> linkOnTheWay(const QString &root, const QString &relative)
{
    QString path = root;
    const QStringList names = relative.split(QLatin1Char('/'));
    for (const QString &name : names) {
        path += QLatin1Char('/') + name;
        if (QFileInfo(path).isSymLink())
            return path;
    }
    for (const QString &suffix : kBackedUpSuffixes)
        if (QFileInfo(path + suffix).isSymLink())
            return path + suffix;
    return std::nullopt;
}

struct Archive {
    QVector<ZipEntry> entries;
    QHash<QString, QVector<int>> byName;
    QSet<int> used;
};

struct ArchivedPlugin {
    QHash<QString, QByteArray> files; // by suffix
    QVector<mapping::ParameterEntry> table;
};

// The archived files of `plugin`, checked; nothing, with the reason in `item`, when one fails.
std::optional<ArchivedPlugin> checkedFiles(const ManifestPlugin &plugin, const Archive &archive, RestoreItem &item)
{
    QHash<QString, QByteArray> files;
    for (const ManifestFile &file : plugin.files) {
        const QString name = plugin.entryName(file.suffix);
        // The item names the plug-in's entry; its reason names which of the plug-in's files failed.
        const QString fileName = QFileInfo(name).fileName();
        const QVector<int> found = archive.byName.value(name);
        QString reason;
        if (!kBackedUpSuffixes.contains(file.suffix))
            reason = texts::kUnknownSuffix.arg(fileName);
        else if (files.contains(file.suffix))
            reason = texts::kListedTwice;
        else if (found.isEmpty())
            reason = texts::kMissingEntry.arg(fileName);
        else if (found.size() > 1)
            reason = texts::kEntryTwice.arg(fileName);
        else if (!archive.entries.at(found.first()).regularFile)
            reason = texts::kNotRegularFile.arg(fileName);
        else if (!archive.entries.at(found.first()).damage.isEmpty())
            reason = texts::kDamagedEntry.arg(fileName, archive.entries.at(found.first()).damage);
        else if (archive.entries.at(found.first()).bytes.size() != file.size
                 || sha256Hex(archive.entries.at(found.first()).bytes) != file.sha256.toLower())
            reason = texts::kChecksumMismatch.arg(fileName);
        if (!reason.isEmpty()) {
            item.detail = reason;
            return std::nullopt;
        }
        files.insert(file.suffix, archive.entries.at(found.first()).bytes);
    }
    if (!files.contains(QString())) {
        item.detail = texts::kMissingEntry.arg(mapping::kParameterOrderFileName);
        return std::nullopt;
    }
    const mapping::PlistRead read = mapping::PlistDocument::parse(files.value(QString()));
    if (!read.ok()) {
        item.detail = texts::kNotAMapping.arg(mapping::kParameterOrderFileName, read.error);
        return std::nullopt;
    }
    return ArchivedPlugin{files, mapping::loadMapping(read.document, 0, mapping::kModeInsertEffect).plistBuild};
}

std::optional<QVector<mapping::ParameterEntry>> tableOf(const QByteArray &bytes)
{
    const mapping::PlistRead read = mapping::PlistDocument::parse(bytes);
    if (!read.ok())
        return std::nullopt;
    return mapping::loadMapping(read.document, 0, mapping::kModeInsertEffect).plistBuild;
}

// Puts a plug-in that is new here in place: its archived backups where none are, then the file.
bool writeNew(const RestoreItem &item, const QHash<QString, QByteArray> &files, QString *failure)
{
    const QString folder = QFileInfo(item.target).absolutePath();
    if (!QDir().mkpath(folder)) {
        *failure = texts::kCannotMakeFolder.arg(folder);
        return false;
    }
    // The file itself goes last, so it stands only when its backups do.
    QStringList order = kBackedUpSuffixes.mid(1);
    order.append(QString());
    for (const QString &suffix : order) {
        const QString path = item.target + suffix;
        if (!files.contains(suffix) || (!suffix.isEmpty() && QFileInfo::exists(path)))
            continue;
        QString error;
        if (!mapping::writeFileAtomically(path, files.value(suffix), &error)) {
            *failure = texts::kCannotWrite.arg(path, error);
            return false;
        }
    }
    return true;
}

// Checks one plug-in's files, compares them with the disk and, unless `dryRun`, writes them.
void restorePlugin(const ManifestPlugin &plugin, const QString &rootPath, const Archive &archive, bool dryRun,
                   RestoreItem &item)
{
    std::optional<ArchivedPlugin> archived = checkedFiles(plugin, archive, item);
    if (archived) {
        item.target = rootPath + QLatin1Char('/') + plugin.path;
        if (const auto link = linkOnTheWay(rootPath, plugin.path)) {
            item.detail = texts::kThroughLink.arg(*link);
            archived.reset();
        }
    }
    if (!archived) {
        item.detail += texts::kNothingWritten;
        return;
    }
    const QByteArray archivedBytes = archived->files.value(QString());
    QByteArray current;
    QString error;
    if (!QFileInfo::exists(item.target)) {
        item.state = RestoreState::New;
    } else if (!mapping::readWholeFile(item.target, &current, &error)) {
        item.state = RestoreState::Differs;
        item.detail = texts::kCannotRead.arg(item.target, error);
        return;
    } else if (current == archivedBytes) {
        item.state = RestoreState::Same;
    } else {
        item.state = RestoreState::Differs;
        const auto before = tableOf(current);
        item.changedControls = before ? static_cast<int>(mapping::diffMappings(*before, archived->table).size()) : -1;
    }
    if (dryRun)
        return;
    if (item.state == RestoreState::New) {
        item.restored = writeNew(item, archived->files, &item.detail);
    } else if (item.state == RestoreState::Differs) {
        const mapping::SaveResult saved = mapping::replaceWithBackups(item.target, current, archivedBytes);
        item.restored = saved.ok();
        if (!saved.ok())
            item.detail = texts::kCannotWrite.arg(saved.failedPath, saved.detail);
    }
}

} // namespace

int RestoreReport::problems() const
{
    return static_cast<int>(std::count_if(items.begin(), items.end(), [](const RestoreItem &item) {
        return item.state == RestoreState::Refused || !item.detail.isEmpty();
    }));
}

RestoreReport restoreLibrary(const QString &archivePath, const QVector<SettingsRoot> &roots, bool dryRun,
                             const std::optional<QSet<QString>> &only)
{
    RestoreReport report;
    ZipContents contents = readZip(archivePath);
    Archive archive;
    archive.entries = std::move(contents.entries);
    for (int i = 0; i < archive.entries.size(); ++i)
        archive.byName[archive.entries.at(i).name].append(i);
    const QVector<int> manifestAt = archive.byName.value(kManifestName);
    QString error = contents.error;
    std::optional<Manifest> manifest;
    if (manifestAt.size() == 1 && archive.entries.at(manifestAt.first()).damage.isEmpty())
        manifest = parseManifest(archive.entries.at(manifestAt.first()).bytes, &error);
    else if (error.isEmpty())
        error = texts::kNoManifest.arg(kManifestName);
    if (!manifest) {
        report.fatal = texts::kNotABackup.arg(archivePath, error);
        return report;
    }
    archive.used += manifestAt.first();

    // What can be told from the manifest alone is told here; each plug-in's files are then checked,
    // compared and written by a pool of workers, since a save's syncs to disk dominate the time.
    QSet<QString> seen;
    QVector<std::function<void()>> work;
    report.items.resize(manifest->plugins.size());
    for (qsizetype i = 0; i < manifest->plugins.size(); ++i) {
        const ManifestPlugin &plugin = manifest->plugins.at(i);
        RestoreItem &item = report.items[i];
        item.plugin = plugin.plugin;
        item.type = plugin.type;
        item.name = plugin.entryName(QString());
        for (const ManifestFile &file : plugin.files) {
            const QVector<int> found = archive.byName.value(plugin.entryName(file.suffix));
            archive.used += QSet<int>(found.begin(), found.end());
        }
        const auto root =
            std::find_if(roots.begin(), roots.end(), [&plugin](const SettingsRoot &r) { return r.key == plugin.root; });
        if (root == roots.end())
            item.detail = texts::kUnknownRoot.arg(plugin.root);
        else if (const auto unsafe = unsafePath(plugin.path))
            item.detail = *unsafe;
        else if (seen.contains(item.name))
            item.detail = texts::kListedTwice;
        seen.insert(item.name);
        if (!item.detail.isEmpty()) {
            item.detail += texts::kNothingWritten;
            continue;
        }
        const bool compareOnly = dryRun || (only && !only->contains(item.name));
        work.append([&plugin, &item, &archive, rootPath = root->path, compareOnly] {
            restorePlugin(plugin, rootPath, archive, compareOnly, item);
        });
    }
    QThreadPool pool;
    pool.setMaxThreadCount(kRestoreWorkers);
    for (const std::function<void()> &job : work)
        pool.start(job);
    pool.waitForDone();

    for (int i = 0; i < archive.entries.size(); ++i) {
        if (archive.used.contains(i))
            continue;
        RestoreItem item;
        item.name = archive.entries.at(i).name;
        item.detail = texts::kNotInManifest + texts::kNothingWritten;
        report.items.append(item);
    }
    if (!contents.error.isEmpty()) {
        RestoreItem item;
        item.name = archivePath;
        item.detail = texts::kArchiveDamaged.arg(contents.error);
        report.items.append(item);
    }
    return report;
}

} // namespace ov::library
