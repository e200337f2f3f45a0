#include "ParameterEntry.h"

namespace ov::mapping {

ParameterEntry splitEntryString(const QString &entry)
{
    const qsizetype blank = entry.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return ParameterEntry{};
    return ParameterEntry{entry.left(blank), entry.mid(blank + 1), 0, 0};
}

QString entryString(const ParameterEntry &entry)
{
    if (entry.isEmptySlot())
        return kEmptySlotString;
    return entry.ParamNum + QLatin1Char(' ') + entry.Parameter;
}

bool matchesSearch(const ParameterEntry &entry, const QString &text)
{
    return entry.ParamNum.contains(text, Qt::CaseInsensitive) || entry.Parameter.contains(text, Qt::CaseInsensitive);
}

} // namespace ov::mapping
