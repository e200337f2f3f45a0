#include "ParameterListModel.h"

namespace ov::ui::qt {

ParameterListModel::ParameterListModel(QObject *parent) : QAbstractTableModel(parent) {}

void ParameterListModel::setEntries(const QVector<mapping::ParameterEntry> &entries)
{
    beginResetModel();
    m_entries = entries;
    endResetModel();
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
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return index.column() == ParamNumColumn ? entry.ParamNum : entry.Parameter;
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
    case ParamNumColumn: return QStringLiteral("No.");
    case ParameterColumn: return QStringLiteral("Parameter");
    default: return {};
    }
}

} // namespace ov::ui::qt
