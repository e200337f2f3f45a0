#pragma once

#include "MappingTable.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace ov::mapping {

// An alert lists at most this many names, then how many more there are.
inline constexpr int kListedNamesAtMost = 20;
// The names one a line, at most kListedNamesAtMost of them, then "and N more".
QString listedNames(const QStringList &names);

struct CopyResult final {
    int matched = 0;       // slots that got a parameter of this plug-in
    QStringList unmatched; // names of the other mapping that no parameter here bears, once each, in slot order

    // The report's two texts; `from` names the mapping copied.
    QString message(const QString &from) const;
    QString informativeText() const;
};

// Makes the table as many pages as `other` and puts on each slot the parameter of `available` whose
// name equals the name on that slot of `other`: the first in list order with the very same name,
// else the first whose name differs only in capitals and small letters. A slot whose name has no
// match, and every empty slot, is empty; when no name matches at all, the table is left as it was.
// A slot whose parameter has a blank name takes the nameless parameter of the same number, as names
// cannot tell nameless ones apart. The page shown stays where it still exists.
CopyResult copyMappingFrom(MappingTable &table, const QVector<ParameterEntry> &available,
                           const QVector<ParameterEntry> &other);

} // namespace ov::mapping
