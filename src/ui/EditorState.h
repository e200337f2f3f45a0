#pragma once

#include "mapping/MappingTable.h"

#include <QString>

namespace ov::ui {

inline const QString kNoOneHere = QStringLiteral("NOONEHERE");

// The mapping document's state for the life of the process: the table with its page counters
// (plistBuild, curPage, totalPages), the plug-in mode (1 instrument, 0 insert/effect), the chart text
// of the last relabel and the signed-in community user.
struct EditorState : mapping::MappingTable {
    int plugin_Mode = 0;
    QString bHTML;
    QString loggedInAs = kNoOneHere;
};

} // namespace ov::ui
