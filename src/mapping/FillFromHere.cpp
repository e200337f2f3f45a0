#include "FillFromHere.h"

#include "MappingTexts.h"
#include "ParameterPlacements.h"

#include <QSet>

namespace ov::mapping {

QString FillResult::report() const
{
    const QString controls = placed == 1 ? texts::kOneControl : texts::kControls.arg(placed);
    const QString pages = pagesAdded == 1 ? texts::kOnePage : texts::kPages.arg(pagesAdded);
    return texts::kFilledControls.arg(controls, pages);
}

std::optional<FillResult> fillFromHere(MappingTable &table, const QVector<ParameterEntry> &available, int page,
                                       int control, const QString &search)
{
    if (!table.isLoaded() || !table.hasPage(page) || control < 1 || control > kControlsPerPage)
        return std::nullopt;
    QSet<ParameterKey> placed;
    for (const ParameterEntry &slot : std::as_const(table.plistBuild)) {
        if (!slot.isEmptySlot())
            placed.insert(ParameterKey::of(slot));
    }
    FillResult result;
    const int shownPage = table.curPage;
    int slot = slotIndex(page, control);
    for (const ParameterEntry &entry : available) {
        if (entry.isEmptySlot() || !matchesSearch(entry, search) || placed.contains(ParameterKey::of(entry)))
            continue;
        placed.insert(ParameterKey::of(entry)); // a name listed twice is laid out once
        while (table.hasSlot(slot) && !table.plistBuild.at(slot).isEmptySlot())
            ++slot;
        if (!table.hasSlot(slot)) {
            addControlsPage(table);
            ++result.pagesAdded;
        }
        assignParameter(table, entry, slot++);
        ++result.placed;
    }
    table.curPage = shownPage;
    return result;
}

} // namespace ov::mapping
