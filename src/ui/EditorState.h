#pragma once

#include "catalogue/PluginRecord.h"
#include "mapping/EditHistory.h"
#include "mapping/MappingTable.h"
#include "mapping/ParameterPlacements.h"
#include "panel/Chart.h"

#include <QHash>
#include <QString>

#include <optional>

namespace ov::ui {

// The name held while nobody is signed in to the community library.
inline const QString kNoOneHere = QStringLiteral("NOONEHERE");

// What Show Changes compares the table with: nothing, the plug-in's file on disk (unsaved
// changes), its ".prev" backup or its ".original" backup.
enum class ChangesBase {
    None,
    SavedFile,
    Previous,
    Original
};

// The open plug-in's mapping as its own file held it when it was last loaded or saved: what the
// unsaved edits are measured against.
struct SavedMapping {
    bool open = false; // a plug-in is open
    catalogue::PluginRecord plugin;
    QVector<mapping::ParameterEntry> plistBuild;
    int plugin_Mode = 0;
    // How many slots of the table differ from it, counted while the two are as long as each other.
    qsizetype differingSlots = 0;
};

// The mapping document's state for the life of the process: the table with its page counters
// (plistBuild, curPage, totalPages), the plug-in mode (1 instrument, 0 insert/effect), the chart text
// of the last relabel and the signed-in community user.
struct EditorState : mapping::MappingTable {
    int plugin_Mode = 0;
    panel::ChartText chart;
    QString loggedInAs = kNoOneHere;

    // The chart text of the last relabel.
    const QString &bHTML() const { return chart.text(*this); }

    // Unsaved edits, their undo history, and where each parameter of the list stands.
    SavedMapping saved;
    mapping::EditHistory history;
    QVector<mapping::ParameterEntry> availableParameters; // the list as loaded, in its own order
    mapping::ParameterPlacements placements;              // of plistBuild, after its last change

    // Show Changes: what the table is compared with, that mapping, and the slots that differ from
    // it with the parameter each held there.
    ChangesBase changesBase = ChangesBase::None;
    std::optional<QVector<mapping::ParameterEntry>> changesBaseTable; // nothing: nothing to compare with
    QHash<int, QString> changedSlots;
};

} // namespace ov::ui
