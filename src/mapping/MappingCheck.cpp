#include "MappingCheck.h"

#include "MappingTexts.h"
#include "ParameterMatch.h"

#include <QHash>

namespace ov::mapping {

QString Misfit::problem() const
{
    return hasNumber ? texts::kMisfitRenamed.arg(entry.ParamNum, nameHere, entry.Parameter)
                     : texts::kMisfitUnknown.arg(entryString(entry));
}

QString Misfit::description() const
{
    return texts::kMisfitPlace.arg(slot / kControlsPerPage + 1).arg(slot % kControlsPerPage + 1) + problem();
}

QVector<Misfit> findMisfits(const QVector<ParameterEntry> &table, const QVector<ParameterEntry> &available)
{
    QHash<QString, QString> nameOfNumber;
    for (const ParameterEntry &entry : available) {
        if (!entry.isEmptySlot())
            nameOfNumber.insert(entry.ParamNum, entry.Parameter);
    }
    QVector<Misfit> misfits;
    for (int slot = 0; slot < table.size(); ++slot) {
        const ParameterEntry &entry = table.at(slot);
        if (entry.isEmptySlot())
            continue;
        const auto here = nameOfNumber.constFind(entry.ParamNum);
        if (here != nameOfNumber.cend() && *here == entry.Parameter)
            continue;
        const bool hasNumber = here != nameOfNumber.cend();
        misfits.append({slot, entry, hasNumber ? *here : QString(), hasNumber});
    }
    return misfits;
}

QString RepairResult::report() const
{
    return texts::kMappingRepaired.arg(moved).arg(emptied);
}

RepairResult repairMisfits(MappingTable &table, const QVector<ParameterEntry> &available)
{
    const ParameterMatch match(available);
    RepairResult result;
    for (const Misfit &misfit : findMisfits(table.plistBuild, available)) {
        ParameterEntry &slot = table.plistBuild[misfit.slot];
        if (const ParameterEntry *found = match.find(misfit.entry)) {
            slot.ParamNum = found->ParamNum;
            slot.Parameter = found->Parameter;
            ++result.moved;
        } else {
            slot.ParamNum = kEmptyParamNum;
            slot.Parameter = kEmptyParameter;
            ++result.emptied;
        }
    }
    return result;
}

} // namespace ov::mapping
