#include "Ovmap.h"

#include "catalogue/PluginScan.h"
#include "mapping/CopyMapping.h"
#include "mapping/FillFromHere.h"
#include "mapping/MappingDiff.h"
#include "mapping/MappingTable.h"
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
#include <charconv>
#include <functional>
#include <optional>

namespace ov::cli {

namespace {

using mapping::LoadedMapping;
using mapping::MappingTable;
using mapping::ParameterEntry;

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
                   "  ovmap --version\n");

// A usage error: the message goes to standard error with the usage, and ovmap exits with 2.
struct UsageError {
    QString message;
};

// Splits the arguments into positionals and the given options; flags take no value.
struct ParsedArguments {
    QStringList positional;
    QHash<QString, QString> options;
    QSet<QString> flags;
};

ParsedArguments parseArguments(const QStringList &arguments, const QStringList &valueOptions,
                               const QStringList &flagOptions)
{
    ParsedArguments parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (valueOptions.contains(argument)) {
            if (i + 1 >= arguments.size())
                throw UsageError{QStringLiteral("%1 needs a value").arg(argument)};
            parsed.options.insert(argument, arguments.at(++i));
        } else if (flagOptions.contains(argument)) {
            parsed.flags.insert(argument);
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            throw UsageError{QStringLiteral("unknown option %1").arg(argument)};
        } else {
            parsed.positional.append(argument);
        }
    }
    return parsed;
}

int parseInteger(const QString &text, const QString &what)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        throw UsageError{QStringLiteral("%1 must be a whole number, not '%2'").arg(what, text)};
    return value;
}

QJsonObject toJson(const catalogue::PluginRecord &record)
{
    return QJsonObject{{QStringLiteral("Type"), record.Type},
                       {QStringLiteral("Plugin"), record.Plugin},
                       {QStringLiteral("State"), record.State},
                       {QStringLiteral("fileLocation"), record.fileLocation}};
}

// JSON written directly, laid out as QJsonDocument::Indented lays it out (keys in order, four spaces
// a level): a large table is written in a fraction of the time of building the document first.
class JsonText final {
public:
    explicit JsonText(qsizetype expectedSize) { m_json.reserve(expectedSize); }

    void raw(const char *text) { m_json.append(text); }
    void number(int value)
    {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        m_json.append(digits, end - digits);
    }
    // A string in quotes: '"', '\\' and control characters escaped, everything else as UTF-8.
    void string(QStringView text)
    {
        m_json.append('"');
        const char16_t *at = text.utf16();
        const char16_t *const end = at + text.size();
        while (at != end) {
            const char16_t *run = at;
            while (at != end && *at >= 0x20 && *at < 0x80 && *at != u'"' && *at != u'\\')
                ++at;
            const qsizetype written = m_json.size();
            m_json.resize(written + (at - run));
            std::transform(run, at, m_json.data() + written, [](char16_t c) { return char(c); });
            if (at == end)
                break;
            if (*at >= 0x80) { // a run of other characters, encoded together
                run = at;
                while (at != end && *at >= 0x80)
                    ++at;
                m_json.append(QStringView(run, at).toUtf8());
                continue;
            }
            escape(*at++);
        }
        m_json.append('"');
    }
    QByteArray take() { return std::move(m_json); }

private:
    void escape(char16_t c)
    {
        static constexpr char kHex[] = "0123456789abcdef";
        switch (c) {
        case u'"':
            m_json.append("\\\"");
            return;
        case u'\\':
            m_json.append("\\\\");
            return;
        case u'\b':
            m_json.append("\\b");
            return;
        case u'\f':
            m_json.append("\\f");
            return;
        case u'\n':
            m_json.append("\\n");
            return;
        case u'\r':
            m_json.append("\\r");
            return;
        case u'\t':
            m_json.append("\\t");
            return;
        default:
            m_json.append("\\u00");
            m_json.append(kHex[c >> 4]);
            m_json.append(kHex[c & 0xf]);
        }
    }

    QByteArray m_json;
};

// The entries as an array of objects at the second level of the document.
void appendEntries(JsonText &json, const QVector<ParameterEntry> &entries)
{
    if (entries.isEmpty()) {
        json.raw("[\n    ]");
        return;
    }
    json.raw("[\n");
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const ParameterEntry &entry = entries.at(i);
        json.raw("        {\n            \"OravelControlNo\": ");
        json.number(entry.OravelControlNo);
        json.raw(",\n            \"OravelPage\": ");
        json.number(entry.OravelPage);
        json.raw(",\n            \"ParamNum\": ");
        json.string(entry.ParamNum);
        json.raw(",\n            \"Parameter\": ");
        json.string(entry.Parameter);
        json.raw(i + 1 == entries.size() ? "\n        }\n" : "\n        },\n");
    }
    json.raw("    ]");
}

// What `ovmap show --json` prints of a loaded mapping.
QByteArray showJson(const LoadedMapping &loaded)
{
    // About 150 characters for each entry's object.
    JsonText json(150 * (loaded.available.size() + loaded.plistBuild.size()) + 100);
    json.raw("{\n    \"available\": ");
    appendEntries(json, loaded.available);
    json.raw(",\n    \"plistBuild\": ");
    appendEntries(json, loaded.plistBuild);
    json.raw(",\n    \"plugin_Mode\": ");
    json.number(loaded.pluginMode);
    json.raw(",\n    \"totalPages\": ");
    json.number(loaded.totalPages);
    json.raw("\n}\n");
    return json.take();
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

// The folders a scan reads: the user's, and the machine-wide one; --home stands for the whole
// machine, so a scan of it reads nothing outside it.
QVector<catalogue::ScanRoot> scanRootsOf(const ParsedArguments &parsed)
{
    if (!parsed.options.contains(QStringLiteral("--home")))
        return catalogue::scanRoots(QDir::homePath());
    return catalogue::scanRoots(QDir(parsed.options.value(QStringLiteral("--home"))).absolutePath(), QString());
}

catalogue::PluginList scanHome(const ParsedArguments &parsed, QTextStream &err)
{
    return catalogue::scanPlugins(scanRootsOf(parsed), [&err](const QString &line) { err << line << Qt::endl; });
}

// A parameter-order file opened as the editor opens it, in memory: the list of unique parameters
// is added when the file lacks one, and the mapping is loaded with its mode decided from the file.
struct OpenedFile {
    mapping::PlistDocument document;
    bool listAdded = false;
    LoadedMapping loaded;
};

std::optional<OpenedFile> openFile(const QString &path, QTextStream &err)
{
    mapping::PlistReadStatus status;
    QString detail;
    OpenedFile opened;
    opened.document = mapping::PlistDocument::fromFile(path, &status, &detail);
    if (status != mapping::PlistReadStatus::Ok) {
        err << "ovmap: cannot open " << path << ": " << detail << Qt::endl;
        return std::nullopt;
    }
    opened.listAdded = mapping::addAvailableParameterList(opened.document);
    opened.loaded = mapping::loadMapping(opened.document, 1, mapping::kModeInsertEffect);
    return opened;
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
    const ParsedArguments parsed = parseArguments(arguments, {QStringLiteral("--page")}, {QStringLiteral("--json")});
    if (parsed.positional.size() != 1)
        throw UsageError{QStringLiteral("show takes one FILE")};
    const int page = parsed.options.contains(QStringLiteral("--page"))
                         ? parseInteger(parsed.options.value(QStringLiteral("--page")), QStringLiteral("--page"))
                         : 1;
    const std::optional<OpenedFile> opened = openFile(parsed.positional.first(), err);
    if (!opened)
        return kExitFailed;
    const LoadedMapping &loaded = opened->loaded;
    if (page < 1 || page > loaded.totalPages) {
        err << "ovmap: page " << page << " does not exist; the mapping has " << panel::totalPagesText(loaded.totalPages)
            << Qt::endl;
        return kExitFailed;
    }
    if (parsed.flags.contains(QStringLiteral("--json"))) {
        writeBytes(out, showJson(loaded));
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
    const std::optional<OpenedFile> opened = openFile(file, err);
    if (!opened)
        return false;
    const QString location = QFileInfo(file).absoluteFilePath();
    const panel::ChartWriteResult written =
        panel::writeChart(output, panel::buildChart(pluginName, location, tableOf(opened->loaded)));
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

// What the editing operations work on: the opened mapping, and the reports to print once it is saved.
struct EditContext {
    MappingTable table;
    int mode = mapping::kModeInsertEffect;
    QVector<ParameterEntry> available;
    QStringList reports;
};

// One editing operation, checked against the table as it stands when it runs.
struct Operation {
    QString name;
    std::function<std::optional<QString>(EditContext &)> apply; // a refusal's reason, or nothing
};

std::optional<QString> checkPage(const MappingTable &table, int page)
{
    if (!table.hasPage(page))
        return QStringLiteral("page %1 does not exist (the mapping has %2)")
            .arg(page)
            .arg(panel::totalPagesText(table.totalPages));
    return std::nullopt;
}

std::optional<QString> checkControl(int control)
{
    if (control < 1 || control > mapping::kControlsPerPage)
        return QStringLiteral("control %1 does not exist (controls are 1 to %2)")
            .arg(control)
            .arg(mapping::kControlsPerPage);
    return std::nullopt;
}

QVector<Operation> parseOperations(const QStringList &words)
{
    QVector<Operation> operations;
    qsizetype i = 0;
    auto take = [&](const QString &op) -> QString {
        if (i >= words.size())
            throw UsageError{QStringLiteral("%1 is missing an argument").arg(op)};
        return words.at(i++);
    };
    while (i < words.size()) {
        const QString &op = words.at(i++);
        if (op == QLatin1String("assign") || op == QLatin1String("clear")) {
            const int page = parseInteger(take(op), QStringLiteral("PAGE"));
            const int control = parseInteger(take(op), QStringLiteral("CONTROL"));
            const ParameterEntry source =
                op == QLatin1String("assign") ? mapping::splitEntryString(take(op)) : ParameterEntry{};
            operations.append({op, [=](EditContext &context) -> std::optional<QString> {
                                   MappingTable &table = context.table;
                                   if (auto refused = checkPage(table, page))
                                       return refused;
                                   if (auto refused = checkControl(control))
                                       return refused;
                                   mapping::assignParameter(table, source, mapping::slotIndex(page, control));
                                   return std::nullopt;
                               }});
        } else if (op == QLatin1String("add-page")) {
            operations.append({op, [](EditContext &context) -> std::optional<QString> {
                                   mapping::addControlsPage(context.table);
                                   return std::nullopt;
                               }});
        } else if (op == QLatin1String("delete-page") || op == QLatin1String("clear-page")) {
            const int page = parseInteger(take(op), QStringLiteral("PAGE"));
            const bool remove = op == QLatin1String("delete-page");
            operations.append({op, [=](EditContext &context) -> std::optional<QString> {
                                   MappingTable &table = context.table;
                                   if (auto refused = checkPage(table, page))
                                       return refused;
                                   table.curPage = page;
                                   if (!remove) {
                                       mapping::clearThisPage(table);
                                   } else if (!mapping::removeControlsPage(table)) {
                                       return mapping::texts::kCannotDeleteFirstPage + QStringLiteral(". ")
                                              + mapping::texts::kTryClearingInstead;
                                   }
                                   return std::nullopt;
                               }});
        } else if (op == QLatin1String("swap-pages")) {
            const int from = parseInteger(take(op), QStringLiteral("PAGE"));
            const int to = parseInteger(take(op), QStringLiteral("PAGE"));
            operations.append({op, [=](EditContext &context) -> std::optional<QString> {
                                   MappingTable &table = context.table;
                                   if (auto refused = checkPage(table, from))
                                       return refused;
                                   if (auto refused = checkPage(table, to))
                                       return refused;
                                   if (from == to)
                                       return QStringLiteral("a page cannot be exchanged with itself");
                                   mapping::exchangePages(table, from, to);
                                   return std::nullopt;
                               }});
        } else if (op == QLatin1String("mode")) {
            const QString value = take(op);
            if (value != QLatin1String("0") && value != QLatin1String("1"))
                throw UsageError{QStringLiteral("mode is 0 (insert/effect) or 1 (instrument), not '%1'").arg(value)};
            const int newMode = value.toInt();
            operations.append({op, [=](EditContext &context) -> std::optional<QString> {
                                   context.mode = newMode;
                                   return std::nullopt;
                               }});
        } else if (op == QLatin1String("fill")) {
            const int page = parseInteger(take(op), QStringLiteral("PAGE"));
            const int control = parseInteger(take(op), QStringLiteral("CONTROL"));
            QString filter;
            if (i < words.size() && words.at(i) == QLatin1String("--filter")) {
                ++i;
                filter = take(QStringLiteral("--filter"));
            }
            operations.append({op, [=](EditContext &context) -> std::optional<QString> {
                                   if (auto refused = checkPage(context.table, page))
                                       return refused;
                                   if (auto refused = checkControl(control))
                                       return refused;
                                   const std::optional<mapping::FillResult> filled =
                                       mapping::fillFromHere(context.table, context.available, page, control, filter);
                                   context.reports.append(filled->report());
                                   return std::nullopt;
                               }});
        } else if (op == QLatin1String("copy-from")) {
            const QString other = take(op);
            operations.append({op, [=](EditContext &context) -> std::optional<QString> {
                                   QString detail;
                                   const std::optional<QVector<ParameterEntry>> otherTable =
                                       mapping::readMappingTable(other, &detail);
                                   if (!otherTable)
                                       return QStringLiteral("cannot read %1: %2").arg(other, detail);
                                   const mapping::CopyResult copied =
                                       mapping::copyMappingFrom(context.table, context.available, *otherTable);
                                   context.reports.append(copied.message(other) + QLatin1Char('\n')
                                                          + copied.informativeText());
                                   return std::nullopt;
                               }});
        } else {
            throw UsageError{QStringLiteral("unknown operation '%1'").arg(op)};
        }
    }
    return operations;
}

int commandEdit(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() < 2)
        throw UsageError{QStringLiteral("edit takes a FILE and at least one operation")};
    const QString &file = arguments.first();
    const QVector<Operation> operations = parseOperations(arguments.mid(1));

    std::optional<OpenedFile> opened = openFile(file, err);
    if (!opened)
        return kExitFailed;
    EditContext context{tableOf(opened->loaded), opened->loaded.pluginMode, opened->loaded.available, {}};
    for (qsizetype i = 0; i < operations.size(); ++i) {
        if (const std::optional<QString> refused = operations.at(i).apply(context)) {
            err << "ovmap: operation " << (i + 1) << " (" << operations.at(i).name << ") refused: " << *refused
                << "\nNothing was saved." << Qt::endl;
            return kExitFailed;
        }
    }
    // A save with nothing changed would only copy the file over ".prev" and lose the real previous version.
    const QVector<ParameterEntry> &before = opened->loaded.plistBuild;
    if (context.mode == opened->loaded.pluginMode && context.table.plistBuild.size() == before.size()
        && mapping::differingSlots(context.table.plistBuild, before) == 0) {
        for (const QString &report : std::as_const(context.reports))
            out << report << '\n';
        out << kNothingChanged << Qt::endl;
        return kExitOk;
    }
    // As the editor does on opening: the file gets its list of unique parameters first, so that the
    // original backup holds it.
    if (opened->listAdded) {
        const mapping::OravelizeResult prepared = mapping::oravelizePlistFile(file);
        if (!prepared.ok()) {
            err << "ovmap: cannot prepare " << file << ": " << prepared.detail << Qt::endl;
            return kExitFailed;
        }
    }
    const mapping::SaveResult saved = mapping::exportToPlist(file, context.table.plistBuild, context.mode);
    if (saved.ok()) {
        for (const QString &report : std::as_const(context.reports))
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
    const QString otherFile = against == mapping::kOriginalSuffix || against == mapping::kPreviousSuffix
                                  ? mapping::backupPath(file, against)
                                  : against;
    const auto read = [&err](const QString &path) {
        QString detail;
        std::optional<QVector<ParameterEntry>> table = mapping::readMappingTable(path, &detail);
        if (!table)
            err << "ovmap: cannot read " << path << ": " << detail << Qt::endl;
        return table;
    };
    const std::optional<QVector<ParameterEntry>> after = read(file);
    const std::optional<QVector<ParameterEntry>> before = after ? read(otherFile) : std::nullopt;
    if (!before)
        return kDiffTrouble;
    const QVector<mapping::SlotDifference> differences = mapping::diffMappings(*before, *after);
    for (const mapping::SlotDifference &difference : differences)
        out << mapping::differenceLine(difference) << '\n';
    return differences.isEmpty() ? kDiffSame : kDiffDiffers;
}

int commandRecall(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 2
        || (arguments.at(1) != mapping::kOriginalSuffix && arguments.at(1) != mapping::kPreviousSuffix))
        throw UsageError{QStringLiteral("recall takes a FILE and 'original' or 'prev'")};
    const mapping::RecallResult recalled = mapping::recallOriginalMapping(arguments.at(0), arguments.at(1));
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
        throw UsageError{QStringLiteral("unknown command '%1'").arg(command)};
    } catch (const UsageError &error) {
        err << "ovmap: " << error.message << '\n' << kUsage;
        err.flush();
        return kExitUsage;
    }
}

} // namespace ov::cli
