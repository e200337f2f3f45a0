#include "ParameterMatch.h"

namespace ov::mapping {

ParameterMatch::ParameterMatch(const QVector<ParameterEntry> &available)
{
    for (const ParameterEntry &entry : available) {
        if (entry.isEmptySlot())
            continue;
        if (isNameless(entry)) {
            m_namelessByNumber.insert(entry.ParamNum, m_namelessByNumber.value(entry.ParamNum, &entry));
            continue;
        }
        // The first in list order wins.
        m_byName.insert(entry.Parameter, m_byName.value(entry.Parameter, &entry));
        const QString folded = entry.Parameter.toCaseFolded();
        m_byFoldedName.insert(folded, m_byFoldedName.value(folded, &entry));
    }
}

const ParameterEntry *ParameterMatch::find(const ParameterEntry &wanted) const
{
    if (wanted.isEmptySlot())
        return nullptr;
    if (isNameless(wanted))
        return m_namelessByNumber.value(wanted.ParamNum);
    if (const ParameterEntry *exact = m_byName.value(wanted.Parameter))
        return exact;
    return m_byFoldedName.value(wanted.Parameter.toCaseFolded());
}

} // namespace ov::mapping
