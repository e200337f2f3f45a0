#pragma once

#include "MappingTable.h"

#include <QString>
#include <QVector>

namespace ov::mapping {

// A control whose parameter this plug-in does not have as the mapping writes it: a number the
// plug-in lacks, or a number the plug-in gives another name (it was renumbered or renamed).
struct Misfit final {
    int slot = 0;
    ParameterEntry entry;   // what the control holds
    QString nameHere;       // the plug-in's name for that number
    bool hasNumber = false; // whether the plug-in has that number at all

    // "Page 1, control 3: ..." with what is wrong.
    QString description() const;
    // What is wrong, without the place: for a control's tooltip.
    QString problem() const;
};

// Every control of `table` whose entry is not one of `available` (the plug-in's unique parameters),
// in table order. Empty controls fit.
QVector<Misfit> findMisfits(const QVector<ParameterEntry> &table, const QVector<ParameterEntry> &available);

struct RepairResult final {
    int moved = 0;   // controls now on the parameter of the same name
    int emptied = 0; // controls whose name no parameter here bears
    QString report() const;
};

// Moves each misfit onto this plug-in's parameter of the same name, found as a mapping copied from
// another plug-in finds it, or empties it when there is none. Fitting controls stay as they are.
RepairResult repairMisfits(MappingTable &table, const QVector<ParameterEntry> &available);

} // namespace ov::mapping
