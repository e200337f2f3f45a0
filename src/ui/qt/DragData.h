#pragma once

#include "mapping/ParameterEntry.h"

#include <QString>

#include <optional>

class QMimeData;

// What the editor's drags carry: a parameter of the list on its way to a control, or a control on its
// way to another. Rows and control numbers mean something only in the process that made them, so a
// drag from anywhere else is not taken.
namespace ov::ui::qt::drag {

inline const QString kParameterMimeType = QStringLiteral("application/x-ovcorvanta-parameter");
inline const QString kControlMimeType = QStringLiteral("application/x-ovcorvanta-control");

struct DraggedParameter {
    int row = -1; // in the parameter list's own order
    mapping::ParameterEntry entry;
};

QMimeData *parameterMimeData(int row, const mapping::ParameterEntry &entry);
std::optional<DraggedParameter> draggedParameter(const QMimeData *mimeData);

QMimeData *controlMimeData(int control);
std::optional<int> draggedControl(const QMimeData *mimeData);

} // namespace ov::ui::qt::drag
