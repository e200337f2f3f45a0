#include "OvmapLibrary.h"

#include "Ovmap.h"
#include "library/LibraryBackup.h"
#include "library/LibraryRestore.h"

#include <QDir>

#include <optional>

namespace ov::cli {

const char kLibraryUsage[] = "  ovmap backup [--home DIR] -o FILE\n"
                             "  ovmap restore FILE [--home DIR] [--dry-run]\n";

namespace {

struct LibraryArguments {
    QString file;
    QString home;
    bool dryRun = false;
};

// Reads the arguments of backup (`-o FILE`) or restore (FILE, --dry-run); nothing after a usage
// message on `err`.
std::optional<LibraryArguments> parse(const QStringList &arguments, bool restore, QTextStream &err)
{
    LibraryArguments parsed;
    QString problem;
    for (qsizetype i = 0; i < arguments.size() && problem.isEmpty(); ++i) {
        const QString &argument = arguments.at(i);
        const bool takesValue = argument == QLatin1String("--home") || (!restore && argument == QLatin1String("-o"));
        if (takesValue && i + 1 == arguments.size())
            problem = QStringLiteral("%1 needs a value").arg(argument);
        else if (argument == QLatin1String("--home"))
            parsed.home = arguments.at(++i);
        else if (!restore && argument == QLatin1String("-o"))
            parsed.file = arguments.at(++i);
        else if (restore && argument == QLatin1String("--dry-run"))
            parsed.dryRun = true;
        else if (restore && !argument.startsWith(QLatin1Char('-')) && parsed.file.isEmpty())
            parsed.file = argument;
        else
            problem = QStringLiteral("unexpected argument '%1'").arg(argument);
    }
    if (problem.isEmpty() && parsed.file.isEmpty())
        problem = restore ? QStringLiteral("restore takes the archive FILE") : QStringLiteral("backup takes -o FILE");
    if (!problem.isEmpty()) {
        err << "ovmap: " << problem << "\nusage:\n" << kLibraryUsage;
        err.flush();
        return std::nullopt;
    }
    return parsed;
}

// The folders of the user's home and the machine's, or of DIR alone.
QVector<library::SettingsRoot> rootsOf(const LibraryArguments &parsed)
{
    if (parsed.home.isEmpty())
        return library::settingsRoots(QDir::homePath(), catalogue::kAllUsersLogicRoot);
    return library::settingsRoots(QDir(parsed.home).absolutePath(), QString());
}

QString pluginLabel(const QString &plugin, const QString &type)
{
    return QStringLiteral("%1 [%2]").arg(plugin, type);
}

QString stateText(const library::RestoreItem &item)
{
    switch (item.state) {
    case library::RestoreState::Same:
        return QStringLiteral("same");
    case library::RestoreState::New:
        return QStringLiteral("new");
    case library::RestoreState::Differs:
        if (item.changedControls < 0)
            return QStringLiteral("differs (the file here is not a readable mapping)");
        return (item.changedControls == 1 ? QStringLiteral("differs in %1 control")
                                          : QStringLiteral("differs in %1 controls"))
            .arg(item.changedControls);
    case library::RestoreState::Refused:
        break;
    }
    return QStringLiteral("refused");
}

} // namespace

int commandBackup(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const std::optional<LibraryArguments> parsed = parse(arguments, false, err);
    if (!parsed)
        return kExitUsage;
    // The walk's folder lines are for a person watching; only its errors go to standard error.
    const library::BackupReport report =
        library::backUpLibrary(rootsOf(*parsed), parsed->file, [&err](const QString &line) {
            if (!line.startsWith(QLatin1String("Reading Folder: ")))
                err << line << '\n';
        });
    int files = 0;
    for (const library::BackupItem &item : report.items) {
        if (item.failure.isEmpty())
            files += item.files;
        else
            err << "not backed up: " << pluginLabel(item.plugin, item.type) << ": " << item.failure << '\n';
    }
    if (!report.fatal.isEmpty()) {
        err << report.fatal << Qt::endl;
        return kExitUsage;
    }
    const int backedUp = static_cast<int>(report.items.size()) - report.failures();
    out << QStringLiteral("Backed up %1 plug-ins (%2 files) to %3").arg(backedUp).arg(files).arg(parsed->file);
    if (report.failures() > 0)
        out << QStringLiteral("; %1 could not be read").arg(report.failures());
    out << Qt::endl;
    err.flush();
    return report.failures() > 0 ? kExitFailed : kExitOk;
}

int commandRestore(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const std::optional<LibraryArguments> parsed = parse(arguments, true, err);
    if (!parsed)
        return kExitUsage;
    const library::RestoreReport report = library::restoreLibrary(parsed->file, rootsOf(*parsed), parsed->dryRun);
    if (!report.fatal.isEmpty()) {
        err << report.fatal << Qt::endl;
        return kExitUsage;
    }
    int restored = 0;
    for (const library::RestoreItem &item : report.items) {
        if (item.state == library::RestoreState::Refused) {
            err << "refused: " << item.name << ": " << item.detail << '\n';
            continue;
        }
        out << pluginLabel(item.plugin, item.type) << ": " << stateText(item);
        if (!item.detail.isEmpty()) {
            out << "; not restored: " << item.detail;
            err << "failed: " << pluginLabel(item.plugin, item.type) << ": " << item.detail << '\n';
        } else if (item.state != library::RestoreState::Same) {
            out << (parsed->dryRun ? "; would be restored" : "; restored");
            restored += item.restored ? 1 : 0;
        }
        out << '\n';
    }
    if (!parsed->dryRun)
        out << QStringLiteral("Restored %1 plug-ins").arg(restored);
    else
        out << QStringLiteral("Dry run: nothing was written");
    if (report.problems() > 0)
        out << QStringLiteral("; %1 refused or failed").arg(report.problems());
    out << Qt::endl;
    err.flush();
    return report.problems() > 0 ? kExitFailed : kExitOk;
}

} // namespace ov::cli
