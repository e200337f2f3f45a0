#pragma once

#include "mapping/MappingTable.h"

namespace ov::test {

// A table of `pages` pages whose slot i holds parameter "i" named "P<i>".
inline mapping::MappingTable filledTable(int pages, int curPage = 1)
{
    mapping::MappingTable table;
    for (int i = 0; i < pages * mapping::kControlsPerPage; ++i)
        table.plistBuild.append(
            {QString::number(i), QStringLiteral("P%1").arg(i), i / mapping::kControlsPerPage + 1, i});
    table.totalPages = pages;
    table.curPage = curPage;
    return table;
}

} // namespace ov::test
