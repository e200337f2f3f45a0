#include "PanelLabels.h"

namespace ov::panel {

QString pageCurrentlyDisplayedText(int curPage, int totalPages)
{
    return QStringLiteral("Page %1 of %2").arg(curPage).arg(totalPages);
}

QString totalPagesText(int totalPages)
{
    return totalPages > 1 ? QStringLiteral("%1 Pages").arg(totalPages) : QStringLiteral("%1 Page").arg(totalPages);
}

PanelLabels labelsForPage(const mapping::MappingTable &table, int page)
{
    PanelLabels labels;
    const int first = mapping::slotIndex(page, 1);
    for (int n = 0; n < mapping::kControlsPerPage; ++n) {
        if (table.hasSlot(first + n)) {
            labels.text[n] = table.plistBuild.at(first + n).Parameter;
            labels.toolTip[n] = labels.text[n];
            if (!table.plistBuild.at(first + n).isEmptySlot())
                labels.number[n] = table.plistBuild.at(first + n).ParamNum;
        } else {
            labels.text[n] = mapping::kEmptyParameter;
        }
    }
    labels.pageCurrentlyDisplayed = pageCurrentlyDisplayedText(page, table.totalPages);
    labels.totalPagesIndicator = totalPagesText(table.totalPages);
    return labels;
}

} // namespace ov::panel
