#include "DisplayNames.h"

#include "ParameterMatch.h"

#include <QHash>
#include <QTextBoundaryFinder>

namespace ov::mapping {

QString cutName(const QString &name, int width)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, name);
    int count = 0;
    for (qsizetype at = graphemes.toNextBoundary(); at != -1; at = graphemes.toNextBoundary()) {
        if (++count == width)
            return name.first(at);
    }
    return name;
}

QVector<NameClash> nameClashes(const QVector<ParameterEntry> &table, int page, int width)
{
    QVector<NameClash> shown;
    QHash<QString, QVector<int>> controlsOf;
    for (int control = 1; control <= kControlsPerPage; ++control) {
        const int slot = slotIndex(page, control);
        if (slot < 0 || slot >= table.size())
            break;
        const ParameterEntry &entry = table.at(slot);
        if (entry.isEmptySlot() || isNameless(entry))
            continue;
        const QString cut = cutName(entry.Parameter, width);
        controlsOf[cut].append(control);
        shown.append({control, cut, {}});
    }
    QVector<NameClash> clashes;
    for (NameClash &candidate : shown) {
        const QVector<int> &all = controlsOf.value(candidate.shown);
        if (all.size() < 2)
            continue;
        for (const int control : all) {
            if (control != candidate.control)
                candidate.others.append(control);
        }
        clashes.append(std::move(candidate));
    }
    return clashes;
}

} // namespace ov::mapping
