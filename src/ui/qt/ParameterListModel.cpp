#include "ParameterListModel.h"

#include "DragData.h"
#include "PlainToolTip.h"

#include "ui/UiTexts.h"
#include "mapping/ParameterPlacements.h"

namespace ov::ui::qt {

namespace {

// Sorts by the first place; a parameter that stands nowhere sorts after every placed one.
QVariant placementSortKey(const QVector<int> &taken)
{
    return taken.isEmpty() ? QVariant(QString()) : QVariant(qlonglong(taken.first()));
}

} // namespace

ParameterListModel::ParameterListModel(QObject *parent) : QAbstractTableModel(parent) { }

void ParameterListModel::setEntries(const QVector<mapping::ParameterEntry> &entries)
{
    beginResetModel();
    m_entries = entries;
    m_placements.clear();
    endResetModel();
}

void ParameterListModel::setPlacements(const QVector<QVector<int>> &placements)
{
    if (placements == m_placements)
        return;
    m_placements = placements;
    if (!m_entries.isEmpty())
        emit dataChanged(index(0, MappedColumn), index(rowCount() - 1, MappedColumn));
}

QString ParameterListModel::placement(int row) const
{
    const QVector<int> taken = m_placements.value(row);
    return mapping::placementText(std::span<const int>(taken.constData(), size_t(taken.size())));
}

int ParameterListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int ParameterListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ParameterListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const mapping::ParameterEntry &entry = m_entries.at(index.row());
    if (index.column() == MappedColumn) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return placement(index.row());
        case SortRole:
            return placementSortKey(m_placements.value(index.row()));
        default:
            return {};
        }
    }
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == ParamNumColumn ? entry.ParamNum : entry.Parameter;
    case Qt::ToolTipRole:
        return plainToolTip(index.column() == ParamNumColumn ? entry.ParamNum : entry.Parameter);
    case SortRole:
        if (index.column() == ParamNumColumn) {
            bool isNumber = false;
            const qlonglong number = entry.ParamNum.toLongLong(&isNumber);
            if (isNumber)
                return number;
            return entry.ParamNum;
        }
        return entry.Parameter;
    case Qt::TextAlignmentRole:
        return index.column() == ParamNumColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant ParameterListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ParamNumColumn:
        return texts::kParamNumColumn;
    case ParameterColumn:
        return texts::kParameterColumn;
    case MappedColumn:
        return texts::kMappedColumn;
    default:
        return {};
    }
}

Qt::ItemFlags ParameterListModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.isValid() ? flags | Qt::ItemIsDragEnabled : flags;
}

QStringList ParameterListModel::mimeTypes() const
{
    return {drag::kParameterMimeType};
}

QMimeData *ParameterListModel::mimeData(const QModelIndexList &indexes) const
{
    // One row is dragged at a time: the list has a single selection.
    for (const QModelIndex &index : indexes) {
        if (index.isValid() && index.row() < m_entries.size())
            return drag::parameterMimeData(index.row(), m_entries.at(index.row()));
    }
    return nullptr;
}

} // namespace ov::ui::qt
