#pragma once

#include "mapping/MappingTable.h"

#include <QString>

#include <array>
#include <optional>

namespace ov::panel {

// What the relabel writes for one page: the 32 control labels and the two page indicators.
struct PanelLabels final {
    std::array<QString, mapping::kControlsPerPage> text;
    // A label's tooltip becomes its slot's Parameter; it is left as it was when the slot does not exist.
    std::array<std::optional<QString>, mapping::kControlsPerPage> toolTip;
    // The slot's ParamNum, so that a parameter without a name still shows; empty for the empty slot
    // and where there is no slot.
    std::array<QString, mapping::kControlsPerPage> number;
    QString pageCurrentlyDisplayed; // "Page %i of %i"
    QString totalPagesIndicator;    // "%i Page" / "%i Pages"
};

QString pageCurrentlyDisplayedText(int curPage, int totalPages);
QString totalPagesText(int totalPages);

// The labels of `page`: label N shows slot (page - 1) * 32 + N - 1, "-" where there is no such slot.
PanelLabels labelsForPage(const mapping::MappingTable &table, int page);

} // namespace ov::panel
