#include "EditOperations.h"

#include "OvmapTexts.h"
#include "Usage.h"

#include "mapping/MappingCheck.h"
#include "mapping/MappingTexts.h"
#include "panel/PanelLabels.h"

#include <algorithm>
#include <iterator>

namespace ov::cli {

using mapping::MappingTable;
using mapping::ParameterEntry;

namespace {

// What an editing operation takes after its name, in order.
enum class Argument {
    Page,
    Control,
    Entry, // "NUM NAME"
    Mode,  // 0 or 1
    File,
};

// A refusal's reason, or nothing; the reports to print once the mapping is saved are appended.
using Apply = std::optional<QString> (*)(mapping::MappingDocument &, const OperationArguments &, QStringList &reports);

} // namespace

struct OperationSyntax {
    const char *name;
    std::initializer_list<Argument> arguments;
    bool takesFilter;
    Apply apply;
};

namespace {

const OperationSyntax kOperations[] = {
    {"assign",
     {Argument::Page, Argument::Control, Argument::Entry},
     false,
     [](mapping::MappingDocument &document, const OperationArguments &a, QStringList &) -> std::optional<QString> {
         // "-1" is the empty control as files write it; any other entry needs its blank.
         if (a.text != mapping::kEmptySlotString && !a.text.contains(QLatin1Char(' ')))
             return texts::kMalformedEntry.arg(a.text);
         const ParameterEntry entry = mapping::splitEntryString(a.text);
         const QVector<mapping::Misfit> misfit = mapping::findMisfits({entry}, document.available());
         if (!misfit.isEmpty())
             return mapping::texts::kMisfitUnknown.arg(a.text)
                    + (misfit.first().hasNumber ? QStringLiteral("; ") + misfit.first().problem() : QString());
         document.assign(entry, mapping::slotIndex(a.numbers[0], a.numbers[1]));
         return std::nullopt;
     }},
    {"clear",
     {Argument::Page, Argument::Control},
     false,
     [](mapping::MappingDocument &document, const OperationArguments &a, QStringList &) -> std::optional<QString> {
         document.assign(ParameterEntry{}, mapping::slotIndex(a.numbers[0], a.numbers[1]));
         return std::nullopt;
     }},
    {"add-page",
     {},
     false,
     [](mapping::MappingDocument &document, const OperationArguments &, QStringList &) -> std::optional<QString> {
         document.addPage();
         return std::nullopt;
     }},
    {"delete-page",
     {Argument::Page},
     false,
     [](mapping::MappingDocument &document, const OperationArguments &a, QStringList &) -> std::optional<QString> {
         document.curPage = a.numbers[0];
         if (!document.deletePage())
             return mapping::texts::kCannotDeleteFirstPage + QStringLiteral(". ") + mapping::texts::kTryClearingInstead;
         return std::nullopt;
     }},
    {"clear-page",
     {Argument::Page},
     false,
     [](mapping::MappingDocument &document, const OperationArguments &a, QStringList &) -> std::optional<QString> {
         document.curPage = a.numbers[0];
         document.clearPage();
         return std::nullopt;
     }},
    {"swap-pages",
     {Argument::Page, Argument::Page},
     false,
     [](mapping::MappingDocument &document, const OperationArguments &a, QStringList &) -> std::optional<QString> {
         if (!document.exchangePages(a.numbers[0], a.numbers[1]))
             return QStringLiteral("a page cannot be exchanged with itself");
         return std::nullopt;
     }},
    {"mode",
     {Argument::Mode},
     false,
     [](mapping::MappingDocument &document, const OperationArguments &a, QStringList &) -> std::optional<QString> {
         document.setMode(a.text.toInt());
         return std::nullopt;
     }},
    {"fill",
     {Argument::Page, Argument::Control},
     true,
     [](mapping::MappingDocument &document, const OperationArguments &a,
        QStringList &reports) -> std::optional<QString> {
         reports.append(document.fill(a.numbers[0], a.numbers[1], a.filter)->report());
         return std::nullopt;
     }},
    {"copy-from",
     {Argument::File},
     false,
     [](mapping::MappingDocument &document, const OperationArguments &a,
        QStringList &reports) -> std::optional<QString> {
         const mapping::TableRead other = mapping::readMappingTable(a.text);
         if (!other.table)
             return QStringLiteral("cannot read %1: %2").arg(a.text, other.error);
         const mapping::CopyResult copied = document.copyFrom(*other.table);
         reports.append(copied.message(a.text) + QLatin1Char('\n') + copied.informativeText());
         return std::nullopt;
     }},
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

} // namespace

QString EditOperation::name() const
{
    return QLatin1String(syntax->name);
}

std::optional<QString> EditOperation::apply(mapping::MappingDocument &document, QStringList &reports) const
{
    qsizetype number = 0;
    for (const Argument argument : syntax->arguments) {
        std::optional<QString> refused;
        if (argument == Argument::Page)
            refused = checkPage(document, arguments.numbers.at(number++));
        else if (argument == Argument::Control)
            refused = checkControl(arguments.numbers.at(number++));
        if (refused)
            return refused;
    }
    return syntax->apply(document, arguments, reports);
}

QVector<EditOperation> parseOperations(const QStringList &words)
{
    QVector<EditOperation> operations;
    qsizetype i = 0;
    auto take = [&](const QString &op) -> QString {
        if (i >= words.size())
            throw UsageError{QStringLiteral("%1 is missing an argument").arg(op)};
        return words.at(i++);
    };
    while (i < words.size()) {
        const QString &op = words.at(i++);
        const auto syntax = std::find_if(std::begin(kOperations), std::end(kOperations),
                                         [&](const OperationSyntax &known) { return op == QLatin1String(known.name); });
        if (syntax == std::end(kOperations))
            throw UsageError{QStringLiteral("unknown operation '%1'").arg(op)};
        EditOperation operation{syntax, {}};
        for (const Argument argument : syntax->arguments) {
            switch (argument) {
            case Argument::Page:
                operation.arguments.numbers.append(parseInteger(take(op), QStringLiteral("PAGE")));
                break;
            case Argument::Control:
                operation.arguments.numbers.append(parseInteger(take(op), QStringLiteral("CONTROL")));
                break;
            case Argument::Mode:
                operation.arguments.text = take(op);
                if (operation.arguments.text != QLatin1String("0") && operation.arguments.text != QLatin1String("1"))
                    throw UsageError{QStringLiteral("mode is 0 (insert/effect) or 1 (instrument), not '%1'")
                                         .arg(operation.arguments.text)};
                break;
            case Argument::Entry:
            case Argument::File:
                operation.arguments.text = take(op);
                break;
            }
        }
        if (syntax->takesFilter && i < words.size() && words.at(i) == QLatin1String("--filter")) {
            ++i;
            operation.arguments.filter = take(QStringLiteral("--filter"));
        }
        operations.append(std::move(operation));
    }
    return operations;
}

} // namespace ov::cli
