#include "PluginScan.h"

#include <QDir>
#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace ov::catalogue {

namespace {

const std::string kTargetName = "CSParameterOrder.plist";

struct DirEntry {
    std::string name;
    unsigned char type; // d_type: DT_DIR, DT_REG, DT_LNK, ... or DT_UNKNOWN
    bool operator<(const DirEntry &other) const { return name < other.name; }
};

// A folder being walked: its entries in name order and the next one to visit.
struct Frame {
    std::string path;
    std::vector<DirEntry> entries;
    size_t next = 0;
};

// Reads a folder's entries (without "." and ".."), sorted by name; errno is kept on failure.
bool readFolder(Frame &frame)
{
    DIR *dir = opendir(frame.path.c_str());
    if (!dir)
        return false;
    errno = 0;
    while (const dirent *entry = readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        frame.entries.push_back(DirEntry{name, entry->d_type});
    }
    const int readError = errno;
    closedir(dir);
    if (readError != 0) {
        errno = readError;
        return false;
    }
    std::sort(frame.entries.begin(), frame.entries.end());
    return true;
}

std::string joinPath(const std::string &folder, const std::string &name)
{
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

QString lastComponent(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString withoutLastComponent(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QString() : path.left(slash);
}

void logEnumeratorError(const LogSink &log, const std::string &path, int error)
{
    log(QStringLiteral("Enumerator Error: %1: %2")
            .arg(QFile::decodeName(path.c_str()), QString::fromLocal8Bit(std::strerror(error))));
}

} // namespace

QVector<ScanRoot> scanRoots(const QString &home, const QString &allUsersRoot)
{
    QVector<ScanRoot> roots;
    const QString logicRoot = home + kLogicSettingsRoot;
    const QDir parent(withoutLastComponent(logicRoot));
    QStringList matches = parent.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    matches.removeIf(
        [](const QString &name) { return name.compare(kPluginSettingsFolderName, Qt::CaseInsensitive) != 0; });
    if (matches.isEmpty())
        roots.append({logicRoot, kLogicTypeLabel});
    for (const QString &name : matches)
        roots.append({parent.path() + QLatin1Char('/') + name, kLogicTypeLabel});
    roots.append({home + kThirdPartyRoot, kThirdPartyTypeLabel});
    if (!allUsersRoot.isEmpty())
        roots.append({allUsersRoot, kLogicTypeLabel});
    return roots;
}

PluginList checkFiles(const QString &root, const QString &typeLabel, const LogSink &log)
{
    log(QStringLiteral("Reading Folder: %1").arg(root));
    PluginList records;

    std::vector<Frame> stack(1);
    stack.back().path = QFile::encodeName(root).toStdString();
    if (!readFolder(stack.back())) {
        logEnumeratorError(log, stack.back().path, errno);
        return records;
    }
    // Depth first, in name order: a folder's contents come right after the folder itself.
    while (!stack.empty()) {
        Frame &frame = stack.back();
        if (frame.next == frame.entries.size()) {
            stack.pop_back();
            continue;
        }
        const DirEntry &entry = frame.entries[frame.next++];
        bool isFolder = entry.type == DT_DIR;
        if (entry.type == DT_UNKNOWN) {
            struct stat status;
            if (lstat(joinPath(frame.path, entry.name).c_str(), &status) != 0) {
                log(QStringLiteral("Error Here"));
                continue;
            }
            isFolder = S_ISDIR(status.st_mode);
        }
        if (isFolder) {
            Frame child;
            child.path = joinPath(frame.path, entry.name);
            if (readFolder(child))
                stack.push_back(std::move(child)); // `frame` is not used past this point
            else
                logEnumeratorError(log, child.path, errno);
            continue;
        }
        if (entry.name != kTargetName)
            continue;
        const QString folder = QFile::decodeName(frame.path.c_str());
        const QString grandparent = lastComponent(withoutLastComponent(folder));
        PluginRecord record;
        record.Type =
            grandparent.compare(kPluginSettingsFolderName, Qt::CaseInsensitive) == 0 ? typeLabel : grandparent;
        record.Plugin = lastComponent(folder);
        record.fileLocation = QFile::decodeName(joinPath(frame.path, entry.name).c_str());
        records.append(std::move(record));
    }
    return records;
}

PluginList scanPlugins(const QVector<ScanRoot> &roots, const LogSink &log)
{
    PluginList records;
    for (const ScanRoot &root : roots)
        records += checkFiles(root.path, root.typeLabel, log);
    return records;
}

} // namespace ov::catalogue
