#include "CopyMapping.h"

#include "MappingTexts.h"
#include "ParameterMatch.h"

#include <QSet>

#include <algorithm>

namespace ov::mapping {

QString listedNames(const QStringList &names)
{
    if (names.size() <= kListedNamesAtMost)
        return names.join(QLatin1Char('\n'));
    return names.first(kListedNamesAtMost).join(QLatin1Char('\n')) + QLatin1Char('\n')
           + texts::kAndMoreNames.arg(names.size() - kListedNamesAtMost);
}

QString CopyResult::message(const QString &from) const
{
    return (matched > 0 ? texts::kMappingCopied : texts::kNothingCopied).arg(from);
}

QString CopyResult::informativeText() const
{
    QString text = matched > 0 ? texts::kMappingCopiedInfo.arg(matched).arg(unmatched.size())
                               : texts::kNothingCopiedInfo.arg(unmatched.size());
    if (!unmatched.isEmpty())
        text += QStringLiteral("\n\n") + listedNames(unmatched);
    return text;
}

CopyResult copyMappingFrom(MappingTable &table, const QVector<ParameterEntry> &available,
                           const QVector<ParameterEntry> &other)
{
    const ParameterMatch match(available);
    const int pages = std::max(1, static_cast<int>((other.size() + kControlsPerPage - 1) / kControlsPerPage));
    QVector<ParameterEntry> copied;
    copied.reserve(pages * kControlsPerPage);
    CopyResult result;
    QSet<QString> unmatched;
    for (int slot = 0; slot < pages * kControlsPerPage; ++slot) {
        ParameterEntry entry{kEmptyParamNum, kEmptyParameter, slot / kControlsPerPage + 1, slot};
        if (slot < other.size() && !other.at(slot).isEmptySlot()) {
            const ParameterEntry &wanted = other.at(slot);
            const QString name = isNameless(wanted) ? texts::kNamelessParameter.arg(wanted.ParamNum) : wanted.Parameter;
            if (const ParameterEntry *found = match.find(wanted)) {
                entry.ParamNum = found->ParamNum;
                entry.Parameter = found->Parameter;
                ++result.matched;
            } else if (!unmatched.contains(name)) {
                unmatched.insert(name);
                result.unmatched.append(name);
            }
        }
        copied.append(std::move(entry));
    }
    // Nothing matched: the mapping here stays, rather than every page emptied.
    if (result.matched == 0)
        return result;
    table.plistBuild = std::move(copied);
    table.totalPages = pages;
    table.curPage = std::clamp(table.curPage, 1, pages);
    return result;
}

} // namespace ov::mapping
