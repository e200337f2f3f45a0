#pragma once

#include "ParameterEntry.h"

#include <QHash>
#include <QVector>

namespace ov::mapping {

// Finds, among a plug-in's parameters, the one a mapping made elsewhere means: the first in list
// order with the very same name, else the first whose name differs only in capitals and small
// letters. A parameter with a blank name is found by its number, as names cannot tell nameless
// ones apart. Keeps pointers into `available`, which must outlive it.
class ParameterMatch final {
public:
    explicit ParameterMatch(const QVector<ParameterEntry> &available);

    // Nothing for the empty slot or a name no parameter bears.
    const ParameterEntry *find(const ParameterEntry &wanted) const;

private:
    QHash<QString, const ParameterEntry *> m_byName;
    QHash<QString, const ParameterEntry *> m_byFoldedName;
    QHash<QString, const ParameterEntry *> m_namelessByNumber;
};

// Whether a parameter has a blank name, as Logic leaves some ("301 ").
inline bool isNameless(const ParameterEntry &entry)
{
    return entry.Parameter.trimmed().isEmpty();
}

} // namespace ov::mapping
