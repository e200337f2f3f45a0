#include "CommandLine.h"

#include "Usage.h"

#include "mapping/ParameterOrderFile.h"

#include <QDir>

namespace ov::cli {

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

catalogue::PluginList scanHome(const ParsedArguments &parsed, QTextStream &err)
{
    // --home stands for the whole machine, so a scan of it reads nothing outside it.
    const QVector<catalogue::ScanRoot> roots =
        parsed.options.contains(QStringLiteral("--home"))
            ? catalogue::scanRoots(QDir(parsed.options.value(QStringLiteral("--home"))).absolutePath(), QString())
            : catalogue::scanRoots(QDir::homePath());
    return catalogue::scanPlugins(roots, [&err](const QString &line) { err << line << Qt::endl; });
}

std::optional<OpenedDocument> openDocument(const QString &path, QTextStream &err)
{
    const mapping::MappingDocument::Opened opened = mapping::MappingDocument::open(path);
    if (!opened.loaded) {
        err << "ovmap: cannot open " << path << ": " << opened.detail << Qt::endl;
        return std::nullopt;
    }
    std::optional<OpenedDocument> document(std::in_place);
    document->document.load(*opened.loaded, path, true);
    document->listAdded = opened.listAdded;
    return document;
}

mapping::SaveResult saveDocument(OpenedDocument &opened)
{
    const QString path = opened.document.filePath();
    if (opened.listAdded) {
        const mapping::OravelizeResult prepared = mapping::oravelizePlistFile(path);
        if (!prepared.ok())
            return {mapping::SaveResult::Outcome::Unreadable, QString(), path, prepared.detail};
        opened.listAdded = false;
    }
    return opened.document.save();
}

} // namespace ov::cli
