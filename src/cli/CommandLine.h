#pragma once

#include "catalogue/PluginScan.h"
#include "mapping/MappingDocument.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace ov::cli {

// The arguments split into positionals and the given options; flags take no value.
struct ParsedArguments {
    QStringList positional;
    QHash<QString, QString> options;
    QSet<QString> flags;
};

// A UsageError for an unknown option or a value option without its value.
ParsedArguments parseArguments(const QStringList &arguments, const QStringList &valueOptions,
                               const QStringList &flagOptions);

// The plug-ins a scan finds: of the user's home and the machine, or of --home alone.
catalogue::PluginList scanHome(const ParsedArguments &parsed, QTextStream &err);

// A parameter-order file opened as the editor opens it, as a document; nothing, with the reason on
// `err`, when it cannot be read.
struct OpenedDocument {
    mapping::MappingDocument document;
    bool listAdded = false;
};
std::optional<OpenedDocument> openDocument(const QString &path, QTextStream &err);

// Saves an opened document as Save Mapping does; a file that lacked its list of unique parameters
// gets it first, so that the original backup holds it.
mapping::SaveResult saveDocument(OpenedDocument &opened);

} // namespace ov::cli
