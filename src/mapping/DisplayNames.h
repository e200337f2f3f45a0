#pragma once

#include "ParameterEntry.h"

#include <QString>
#include <QVector>

namespace ov::mapping {

// The widths of the hardware displays the editor can show names for; 0 shows none.
inline constexpr int kDisplayWidths[] = {6, 7, 10, 16};

// The name as a display `width` characters wide shows it: its first `width` characters, counted as a
// reader counts them (an accented letter or a Japanese character is one). We do not know how each
// surface abbreviates, so this is only the cut.
QString cutName(const QString &name, int width);

// A control of a page whose cut name is the same as that of other controls of the page.
struct NameClash final {
    int control = 0;     // 1 ... 32
    QString shown;       // the cut name they share
    QVector<int> others; // the other controls showing it, in order
};

// The clashes of page `page` of `table` at `width`, by control. Empty controls and parameters
// without a name are left out: there is no name to tell apart.
QVector<NameClash> nameClashes(const QVector<ParameterEntry> &table, int page, int width);

} // namespace ov::mapping
