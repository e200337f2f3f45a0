#pragma once

#include "MappingTable.h"

#include <QString>
#include <QVector>

#include <optional>

namespace ov::mapping {

struct FillResult final {
    int placed = 0;     // parameters laid onto controls
    int pagesAdded = 0; // empty pages appended to hold them

    QString report() const;
};

// Lays every parameter of `available` that stands on no control yet, in the list's own order and
// found by `search` (as the list's search field finds them), onto the empty controls from `control`
// of `page` onward in slot order. Occupied controls are passed over; pages are appended at the end
// while parameters remain. The page shown stays. Nothing, and no change, when the control does not
// exist.
std::optional<FillResult> fillFromHere(MappingTable &table, const QVector<ParameterEntry> &available, int page,
                                       int control, const QString &search = {});

} // namespace ov::mapping
