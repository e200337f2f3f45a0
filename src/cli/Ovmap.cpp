#include "Ovmap.h"

#include "CommandLine.h"
#include "EditOperations.h"
#include "OvmapLibrary.h"
#include "OvmapMappings.h"
#include "ShowJson.h"
#include "Usage.h"

#include "catalogue/PluginScan.h"
#include "mapping/MappingDiff.h"
#include "mapping/MappingDocument.h"
#include "mapping/MappingTexts.h"
#include "mapping/ParameterOrderFile.h"
#include "mapping/SaveRecall.h"
#include "ov/Version.h"
#include "panel/Chart.h"
#include "panel/PanelLabels.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <optional>

namespace ov::cli {

namespace {

using mapping::LoadedMapping;
using mapping::MappingTable;
using mapping::ParameterEntry;

// The widest display a name is cut for.
constexpr int kMaxDisplayWidth = 64;

const QString kNothingChanged =
    QStringLiteral("Nothing changed: the file was not saved, and its backups are as they were.");

const QString kUsage =
    QStringLiteral("usage:\n"
                   "  ovmap scan [--home DIR] [--json]\n"
                   "  ovmap show FILE [--page N] [--json]\n"
                   "  ovmap chart FILE [--plugin NAME] [-o OUT]\n"
                   "  ovmap chart --all [--home DIR] [--out-dir DIR]\n"
                   "  ovmap edit FILE OP [OP ...]\n"
                   "      OP: assign PAGE CONTROL \"NUM NAME\" | clear PAGE CONTROL | add-page | delete-page PAGE\n"
                   "          | clear-page PAGE | swap-pages PAGE PAGE | mode 0|1\n"
                   "          | fill PAGE CONTROL [--filter TEXT] | copy-from OTHER_FILE\n"
                   "  ovmap recall FILE original|prev\n"
                   "  ovmap diff FILE [original|prev|OTHER_FILE]\n"
                   "%1%2"
                   "  ovmap --version\n")
        .arg(QLatin1String(kMappingsUsage), QLatin1String(kLibraryUsage));

QJsonObject toJson(const catalogue::PluginRecord &record)
{
    return QJsonObject{{QStringLiteral("Type"), record.Type},
                       {QStringLiteral("Plugin"), record.Plugin},
                       {QStringLiteral("State"), record.State},
                       {QStringLiteral("fileLocation"), record.fileLocation}};
}

// Bytes onto the output: straight to its device when it has one, else through the stream.
void writeBytes(QTextStream &out, const QByteArray &bytes)
{
    if (QIODevice *device = out.device()) {
        out.flush();
        device->write(bytes);
    } else {
        out << QString::fromUtf8(bytes);
    }
}

// A parameter-order file opened as the editor opens it, in memory: the list of unique parameters
// is added when the file lacks one, and the mapping is loaded with its mode decided from the file.
std::optional<LoadedMapping> openFile(const QString &path, QTextStream &err)
{
    mapping::MappingDocument::Opened opened = mapping::MappingDocument::open(path);
    if (!opened.loaded)
        err << "ovmap: cannot open " << path << ": " << opened.detail << Qt::endl;
    return std::move(opened.loaded);
}

MappingTable tableOf(const LoadedMapping &loaded)
{
    return MappingTable{loaded.plistBuild, 1, loaded.totalPages};
}

int commandScan(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const ParsedArguments parsed = parseArguments(arguments, {QStringLiteral("--home")}, {QStringLiteral("--json")});
    if (!parsed.positional.isEmpty())
        throw UsageError{QStringLiteral("scan takes no file")};
    const catalogue::PluginList records = scanHome(parsed, err);
    if (parsed.flags.contains(QStringLiteral("--json"))) {
        QJsonArray array;
        for (const catalogue::PluginRecord &record : records)
            array.append(toJson(record));
        out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    } else {
        for (const catalogue::PluginRecord &record : records)
            out << record.Type << '\t' << record.Plugin << '\t' << record.State << '\t' << record.fileLocation << '\n';
    }
    return kExitOk;
}

int commandShow(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const ParsedArguments parsed =
        parseArguments(arguments, {QStringLiteral("--page"), QStringLiteral("--width")}, {QStringLiteral("--json")});
    if (parsed.positional.size() != 1)
        throw UsageError{QStringLiteral("show takes one FILE")};
    const bool pageGiven = parsed.options.contains(QStringLiteral("--page"));
    const int page =
        pageGiven ? parseInteger(parsed.options.value(QStringLiteral("--page")), QStringLiteral("--page")) : 1;
    const bool widthGiven = parsed.options.contains(QStringLiteral("--width"));
    const int width =
        widthGiven ? parseInteger(parsed.options.value(QStringLiteral("--width")), QStringLiteral("--width")) : 0;
    if (widthGiven && (width < 1 || width > kMaxDisplayWidth))
        throw UsageError{QStringLiteral("--width is 1 to %1 characters, not %2").arg(kMaxDisplayWidth).arg(width)};
    if (widthGiven && parsed.flags.contains(QStringLiteral("--json")))
        throw UsageError{QStringLiteral("--width and --json do not go together")};
    const std::optional<LoadedMapping> opened = openFile(parsed.positional.first(), err);
    if (!opened)
        return kExitFailed;
    const LoadedMapping &loaded = *opened;
    if (page < 1 || page > loaded.totalPages) {
        err << "ovmap: page " << page << " does not exist; the mapping has " << panel::totalPagesText(loaded.totalPages)
            << Qt::endl;
        return kExitFailed;
    }
    if (parsed.flags.contains(QStringLiteral("--json"))) {
        writeBytes(out, showJson(loaded));
        return kExitOk;
    }
    if (widthGiven) {
        showCutNames(loaded, pageGiven ? page : 0, width, out);
        return kExitOk;
    }
    const panel::PanelLabels labels = panel::labelsForPage(tableOf(loaded), page);
    out << (loaded.pluginMode == mapping::kModeInstrument ? "Instrument mode" : "Insert/Effect mode") << '\n';
    out << labels.pageCurrentlyDisplayed << " (" << labels.totalPagesIndicator << ")\n";
    for (int n = 0; n < mapping::kControlsPerPage; ++n) {
        const ParameterEntry &slot = loaded.plistBuild.at(mapping::slotIndex(page, n + 1));
        out << QStringLiteral("%1  %2").arg(n + 1, 2).arg(labels.text[n]);
        if (!slot.isEmptySlot())
            out << "  (" << slot.ParamNum << ')';
        out << '\n';
    }
    return kExitOk;
}

bool writeChartFor(const QString &file, const QString &pluginName, const QString &output, QTextStream &out,
                   QTextStream &err)
{
    const std::optional<LoadedMapping> opened = openFile(file, err);
    if (!opened)
        return false;
    const QString location = QFileInfo(file).absoluteFilePath();
    const panel::ChartWriteResult written =
        panel::writeChart(output, panel::buildChart(pluginName, location, tableOf(*opened)));
    if (!written.ok) {
        err << "ovmap: " << panel::texts::kChartNotWrittenInfo.arg(written.path, written.detail) << Qt::endl;
        return false;
    }
    out << written.path << '\n';
    return true;
}

// A file name made of the plug-in's type and name, unique among those already used.
QString chartFileName(const catalogue::PluginRecord &record, QSet<QString> &used)
{
    QString base = record.Type + QStringLiteral(" - ") + record.Plugin;
    base.replace(QLatin1Char('/'), QLatin1Char('_'));
    QString name = base + QStringLiteral(".html");
    for (int n = 2; used.contains(name); ++n)
        name = QStringLiteral("%1 (%2).html").arg(base).arg(n);
    used.insert(name);
    return name;
}

int commandChart(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const ParsedArguments parsed = parseArguments(
        arguments,
        {QStringLiteral("--plugin"), QStringLiteral("-o"), QStringLiteral("--home"), QStringLiteral("--out-dir")},
        {QStringLiteral("--all")});
    if (!parsed.flags.contains(QStringLiteral("--all"))) {
        if (parsed.positional.size() != 1)
            throw UsageError{QStringLiteral("chart takes one FILE, or --all")};
        if (parsed.options.contains(QStringLiteral("--home")) || parsed.options.contains(QStringLiteral("--out-dir")))
            throw UsageError{QStringLiteral("--home and --out-dir go with --all")};
        const QString file = parsed.positional.first();
        const QString plugin =
            parsed.options.value(QStringLiteral("--plugin"), QFileInfo(file).absoluteDir().dirName());
        const QString output = parsed.options.value(QStringLiteral("-o"), panel::chartPath(file));
        return writeChartFor(file, plugin, output, out, err) ? kExitOk : kExitFailed;
    }
    if (!parsed.positional.isEmpty() || parsed.options.contains(QStringLiteral("--plugin"))
        || parsed.options.contains(QStringLiteral("-o")))
        throw UsageError{QStringLiteral("chart --all takes no FILE, --plugin or -o")};
    const QString outDir = parsed.options.value(QStringLiteral("--out-dir"));
    if (!outDir.isEmpty() && !QDir().mkpath(outDir)) {
        err << "ovmap: cannot create the folder " << outDir << Qt::endl;
        return kExitFailed;
    }
    bool allWritten = true;
    QSet<QString> used;
    for (const catalogue::PluginRecord &record : scanHome(parsed, err)) {
        const QString output = outDir.isEmpty() ? panel::chartPath(record.fileLocation)
                                                : QDir(outDir).filePath(chartFileName(record, used));
        allWritten = writeChartFor(record.fileLocation, record.Plugin, output, out, err) && allWritten;
    }
    return allWritten ? kExitOk : kExitFailed;
}

int commandEdit(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() < 2)
        throw UsageError{QStringLiteral("edit takes a FILE and at least one operation")};
    const QString &file = arguments.first();
    const QVector<EditOperation> operations = parseOperations(arguments.mid(1));

    std::optional<OpenedDocument> opened = openDocument(file, err);
    if (!opened)
        return kExitFailed;
    mapping::MappingDocument &document = opened->document;
    QStringList reports;
    for (qsizetype i = 0; i < operations.size(); ++i) {
        if (const std::optional<QString> refused = operations.at(i).apply(document, reports)) {
            err << "ovmap: operation " << (i + 1) << " (" << operations.at(i).name() << ") refused: " << *refused
                << "\nNothing was saved." << Qt::endl;
            return kExitFailed;
        }
    }
    // A save with nothing changed would only copy the file over ".prev" and lose the real previous version.
    if (!document.isModified()) {
        for (const QString &report : std::as_const(reports))
            out << report << '\n';
        out << kNothingChanged << Qt::endl;
        return kExitOk;
    }
    const mapping::SaveResult saved = saveDocument(*opened);
    if (saved.ok()) {
        for (const QString &report : std::as_const(reports))
            out << report << '\n';
    }
    (saved.ok() ? out : err) << saved.message() << '\n' << saved.informativeText() << Qt::endl;
    return saved.ok() ? kExitOk : kExitFailed;
}

// Exit statuses of diff, as diff(1) has them.
constexpr int kDiffSame = 0;
constexpr int kDiffDiffers = 1;
constexpr int kDiffTrouble = kExitUsage;

int commandDiff(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.isEmpty() || arguments.size() > 2)
        throw UsageError{QStringLiteral("diff takes a FILE and 'original', 'prev' or another file")};
    const QString &file = arguments.at(0);
    const QString against = arguments.value(1, mapping::kPreviousSuffix);
    // Compared as the editor's Show Changes compares, through the open document.
    mapping::MappingDocument::Opened opened = mapping::MappingDocument::open(file);
    if (!opened.loaded) {
        err << "ovmap: cannot read " << file << ": " << opened.detail << Qt::endl;
        return kDiffTrouble;
    }
    mapping::MappingDocument document;
    document.load(*opened.loaded, file, true);
    const bool read = against == mapping::kOriginalSuffix ? document.compareWith(mapping::ChangesBase::Original)
                      : against == mapping::kPreviousSuffix
                          ? document.compareWith(mapping::ChangesBase::Previous)
                          : document.compareWith(mapping::ChangesBase::OtherFile, against);
    if (!read) {
        const QString other =
            document.changesBase() == mapping::ChangesBase::OtherFile ? against : mapping::backupPath(file, against);
        err << "ovmap: cannot read " << other << ": " << document.changesBaseError() << Qt::endl;
        return kDiffTrouble;
    }
    for (const mapping::SlotDifference &difference : document.differences())
        out << mapping::differenceLine(difference) << '\n';
    return document.differences().isEmpty() ? kDiffSame : kDiffDiffers;
}

int commandRecall(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 2
        || (arguments.at(1) != mapping::kOriginalSuffix && arguments.at(1) != mapping::kPreviousSuffix))
        throw UsageError{QStringLiteral("recall takes a FILE and 'original' or 'prev'")};
    const mapping::RecallResult recalled =
        mapping::MappingDocument::recall(arguments.at(0), arguments.at(1), mapping::kModeInsertEffect).result;
    (recalled.ok() ? out : err) << recalled.message() << '\n' << recalled.informativeText() << Qt::endl;
    return recalled.ok() ? kExitOk : kExitFailed;
}

} // namespace

int runOvmap(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.isEmpty()) {
        err << kUsage;
        return kExitUsage;
    }
    const QString &command = arguments.first();
    const QStringList rest = arguments.mid(1);
    try {
        if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
            out << kUsage;
            return kExitOk;
        }
        if (command == QLatin1String("--version")) {
            out << "ovmap " << ov::kVersion << '\n';
            return kExitOk;
        }
        if (command == QLatin1String("scan"))
            return commandScan(rest, out, err);
        if (command == QLatin1String("show"))
            return commandShow(rest, out, err);
        if (command == QLatin1String("chart"))
            return commandChart(rest, out, err);
        if (command == QLatin1String("edit"))
            return commandEdit(rest, out, err);
        if (command == QLatin1String("recall"))
            return commandRecall(rest, out, err);
        if (command == QLatin1String("diff"))
            return commandDiff(rest, out, err);
        if (command == QLatin1String("check"))
            return commandCheck(rest, out, err);
        if (command == QLatin1String("layout"))
            return commandLayout(rest, out, err);
        if (command == QLatin1String("backup"))
            return commandBackup(rest, out, err);
        if (command == QLatin1String("restore"))
            return commandRestore(rest, out, err);
        throw UsageError{QStringLiteral("unknown command '%1'").arg(command)};
    } catch (const UsageError &error) {
        err << "ovmap: " << error.message << '\n' << kUsage;
        err.flush();
        return kExitUsage;
    }
}

} // namespace ov::cli
