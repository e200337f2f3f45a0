#include "OvmapMappings.h"

#include "CommandLine.h"
#include "Ovmap.h"
#include "OvmapTexts.h"
#include "Usage.h"

#include "mapping/DisplayNames.h"
#include "mapping/Layout.h"
#include "mapping/MappingCheck.h"
#include "mapping/MappingTexts.h"
#include "mapping/ParameterPlacements.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QThreadPool>

#include <span>
#include <utility>

namespace ov::cli {

const char kMappingsUsage[] = "  ovmap show FILE --width N [--page N]\n"
                              "  ovmap check [--repair] FILE [FILE ...]\n"
                              "  ovmap layout save FILE NAME [--layouts DIR]\n"
                              "  ovmap layout list [--layouts DIR]\n"
                              "  ovmap layout apply NAME FILE [FILE ...] [--dry-run] [--layouts DIR]\n"
                              "  ovmap layout apply NAME --all [--home DIR] [--type T] [--plugin GLOB] [--dry-run]"
                              " [--layouts DIR]\n";

namespace {

constexpr int kCheckFits = 0;
constexpr int kCheckMisfits = 1;
constexpr int kCheckTrouble = 2;

// "2/5": page and control of a slot.
QString place(int slot)
{
    return mapping::placementText(std::span<const int>(&slot, 1));
}

} // namespace

int commandCheck(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const ParsedArguments parsed = parseArguments(arguments, {}, {QStringLiteral("--repair")});
    if (parsed.positional.isEmpty())
        throw UsageError{QStringLiteral("check takes at least one FILE")};
    const bool repair = parsed.flags.contains(QStringLiteral("--repair"));
    bool trouble = false, misfits = false;
    for (const QString &file : parsed.positional) {
        std::optional<OpenedDocument> opened = openDocument(file, err);
        if (!opened) {
            trouble = true;
            continue;
        }
        mapping::MappingDocument &document = opened->document;
        const QVector<mapping::Misfit> found = mapping::findMisfits(document.plistBuild, document.available());
        for (const mapping::Misfit &misfit : found)
            out << file << ": " << misfit.description() << '\n';
        misfits = misfits || !found.isEmpty();
        if (!repair || found.isEmpty())
            continue;
        const mapping::RepairResult repaired = document.repair();
        const mapping::SaveResult saved = saveDocument(*opened);
        if (saved.ok()) {
            out << file << ": " << repaired.report() << '\n';
        } else {
            err << "ovmap: " << saved.message() << '\n' << saved.informativeText() << Qt::endl;
            trouble = true;
        }
    }
    return trouble ? kCheckTrouble : misfits ? kCheckMisfits : kCheckFits;
}

void showCutNames(const mapping::LoadedMapping &loaded, int page, int width, QTextStream &out)
{
    const int first = page > 0 ? page : 1, last = page > 0 ? page : loaded.totalPages;
    for (int p = first; p <= last; ++p) {
        QHash<int, QVector<int>> othersOf;
        for (const mapping::NameClash &clash : mapping::nameClashes(loaded.plistBuild, p, width))
            othersOf.insert(clash.control, clash.others);
        for (int control = 1; control <= mapping::kControlsPerPage; ++control) {
            const int slot = mapping::slotIndex(p, control);
            const mapping::ParameterEntry &entry = loaded.plistBuild.at(slot);
            if (entry.isEmptySlot())
                continue;
            out << place(slot) << '\t' << mapping::cutName(entry.Parameter, width) << '\t' << entry.Parameter;
            if (const auto others = othersOf.constFind(control); others != othersOf.cend()) {
                QVector<int> sameSlots;
                for (const int other : *others)
                    sameSlots.append(mapping::slotIndex(p, other));
                out << '\t' << texts::kSameCutName.arg(mapping::placementText(sameSlots));
            }
            out << '\n';
        }
    }
}

namespace {

struct LayoutTarget {
    QString file;
    QString label; // how the line names it
};

// The files an apply goes over: those named, or every plug-in a scan finds that the filters let through.
QVector<LayoutTarget> layoutTargets(const ParsedArguments &parsed, QTextStream &err)
{
    QVector<LayoutTarget> targets;
    if (!parsed.flags.contains(QStringLiteral("--all"))) {
        // A file named twice is applied once: two saves of one file at once would race.
        QSet<QString> seen;
        for (qsizetype i = 1; i < parsed.positional.size(); ++i) {
            const QString &file = parsed.positional.at(i);
            const QString key = QFileInfo(file).absoluteFilePath();
            if (!seen.contains(key)) {
                seen.insert(key);
                targets.append({file, file});
            }
        }
        return targets;
    }
    const QString type = parsed.options.value(QStringLiteral("--type"));
    const QRegularExpression plugin(QRegularExpression::wildcardToRegularExpression(
                                        parsed.options.value(QStringLiteral("--plugin"), QStringLiteral("*"))),
                                    QRegularExpression::CaseInsensitiveOption);
    for (const catalogue::PluginRecord &record : scanHome(parsed, err)) {
        if ((type.isEmpty() || record.Type.compare(type, Qt::CaseInsensitive) == 0)
            && plugin.match(record.Plugin).hasMatch())
            targets.append({record.fileLocation, record.Type + QLatin1Char('/') + record.Plugin});
    }
    return targets;
}

// Plug-ins saved at once: a save's syncs to disk, not the work, take its time.
constexpr int kLayoutWorkers = 32;

struct Applied {
    QString line;     // what matched, and whether it was saved
    QString messages; // for standard error
    bool ok = false;
};

// Puts the layout on one file and saves it.
Applied applyLayoutTo(const mapping::Layout &layout, const LayoutTarget &target, bool dryRun)
{
    Applied applied;
    QTextStream out(&applied.line), err(&applied.messages);
    std::optional<OpenedDocument> opened = openDocument(target.file, err);
    if (!opened) {
        out << target.label << '\t' << texts::kLayoutNotSaved.arg(texts::kLayoutUnreadable) << '\n';
        return applied;
    }
    const mapping::LayoutFit fit = opened->document.applyLayout(layout);
    out << target.label << '\t' << texts::kLayoutMatched.arg(fit.matched).arg(layout.controls.size());
    if (!fit.unmatched.isEmpty())
        out << ' ' << texts::kLayoutNoMatch.arg(fit.unmatched.join(QStringLiteral(", ")));
    out << '\t';
    applied.ok = fit.matched > 0;
    if (fit.matched == 0) {
        out << texts::kLayoutNotSaved.arg(mapping::texts::kLayoutMatchesNothing) << '\n';
    } else if (!opened->document.isModified()) {
        out << texts::kLayoutUnchanged << '\n';
    } else if (dryRun) {
        out << texts::kLayoutWouldSave << '\n';
    } else {
        const mapping::SaveResult saved = saveDocument(*opened);
        applied.ok = saved.ok();
        out << (saved.ok() ? texts::kLayoutSaved
                           : texts::kLayoutNotSaved.arg(QStringLiteral("%1: %2").arg(saved.failedPath, saved.detail)))
            << '\n';
    }
    return applied;
}

} // namespace

int commandLayout(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const QString action = arguments.value(0);
    const ParsedArguments parsed = parseArguments(
        arguments.mid(1),
        {QStringLiteral("--layouts"), QStringLiteral("--home"), QStringLiteral("--type"), QStringLiteral("--plugin")},
        {QStringLiteral("--all"), QStringLiteral("--dry-run")});
    const QString folder = parsed.options.value(QStringLiteral("--layouts"), mapping::layoutsFolder());
    QString error;
    if (action == QLatin1String("save")) {
        if (parsed.positional.size() != 2 || parsed.positional.at(1).trimmed().isEmpty())
            throw UsageError{QStringLiteral("layout save takes a FILE and a NAME")};
        const std::optional<OpenedDocument> opened = openDocument(parsed.positional.at(0), err);
        if (!opened)
            return kExitFailed;
        const mapping::Layout layout = mapping::layoutOf(parsed.positional.at(1), opened->document);
        if (!mapping::saveLayout(folder, layout, &error)) {
            err << "ovmap: " << texts::kLayoutNotWritten.arg(layout.name, error) << Qt::endl;
            return kExitFailed;
        }
        out << texts::kLayoutWritten.arg(layout.name, QString::number(layout.controls.size()),
                                         mapping::layoutFilePath(folder, layout.name))
            << '\n';
        return kExitOk;
    }
    if (action == QLatin1String("list")) {
        if (!parsed.positional.isEmpty())
            throw UsageError{QStringLiteral("layout list takes no argument")};
        for (const mapping::Layout &layout : mapping::listLayouts(folder))
            out << layout.name << '\t' << texts::kLayoutSize.arg(layout.controls.size()).arg(layout.pages) << '\n';
        return kExitOk;
    }
    if (action != QLatin1String("apply"))
        throw UsageError{QStringLiteral("layout takes save, list or apply")};
    const bool all = parsed.flags.contains(QStringLiteral("--all"));
    if (parsed.positional.isEmpty() || (all ? parsed.positional.size() != 1 : parsed.positional.size() < 2))
        throw UsageError{QStringLiteral("layout apply takes a NAME and FILEs, or a NAME and --all")};
    for (const char *option : {"--home", "--type", "--plugin"}) {
        if (!all && parsed.options.contains(QLatin1String(option)))
            throw UsageError{QStringLiteral("%1 goes with --all").arg(QLatin1String(option))};
    }
    const std::optional<mapping::Layout> layout =
        mapping::readLayoutFile(mapping::layoutFilePath(folder, parsed.positional.first()), &error);
    if (!layout) {
        err << "ovmap: " << texts::kLayoutNotRead.arg(parsed.positional.first(), error) << Qt::endl;
        return kExitFailed;
    }
    const QVector<LayoutTarget> targets = layoutTargets(parsed, err);
    const bool dryRun = parsed.flags.contains(QStringLiteral("--dry-run"));
    QVector<Applied> applied(targets.size());
    QThreadPool pool;
    pool.setMaxThreadCount(kLayoutWorkers);
    for (qsizetype i = 0; i < targets.size(); ++i)
        pool.start([&, i] { applied[i] = applyLayoutTo(*layout, targets.at(i), dryRun); });
    pool.waitForDone();
    bool allApplied = true;
    for (const Applied &one : std::as_const(applied)) {
        err << one.messages;
        out << one.line;
        allApplied = allApplied && one.ok;
    }
    return allApplied ? kExitOk : kExitFailed;
}

} // namespace ov::cli
