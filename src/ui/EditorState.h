#pragma once

#include "catalogue/PluginRecord.h"
#include "mapping/MappingDocument.h"
#include "panel/Chart.h"

#include <QString>

namespace ov::ui {

// The name held while nobody is signed in to the community library.
inline const QString kNoOneHere = QStringLiteral("NOONEHERE");

using ChangesBase = mapping::ChangesBase;

// The mapping document's state for the life of the process: the open mapping with its table, page
// counters and mode (plistBuild, curPage, totalPages, plugin_Mode), the chart text of the last
// relabel and the signed-in community user.
struct EditorState : mapping::MappingDocument {
    panel::ChartText chart;
    QString loggedInAs = kNoOneHere;
    // The plug-in whose own file the document has open.
    catalogue::PluginRecord openPlugin;
    // The display width names are also shown cut to; 0 for none.
    int displayWidth = 0;

    // The chart text of the last relabel.
    const QString &bHTML() const { return chart.text(*this); }
};

} // namespace ov::ui
