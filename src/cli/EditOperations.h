#pragma once

#include "mapping/MappingDocument.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace ov::cli {

struct OperationSyntax;

// An operation's arguments as given: pages and controls in order, and its one text.
struct OperationArguments {
    QVector<int> numbers;
    QString text;
    QString filter;
};

// One editing operation of `ovmap edit`, checked against the table as it stands when it runs.
struct EditOperation {
    const OperationSyntax *syntax = nullptr;
    OperationArguments arguments;

    QString name() const;
    // A refusal's reason, or nothing; the reports to print once the mapping is saved are appended.
    std::optional<QString> apply(mapping::MappingDocument &document, QStringList &reports) const;
};

// The operations in the words after the file; a UsageError when they do not parse.
QVector<EditOperation> parseOperations(const QStringList &words);

} // namespace ov::cli
