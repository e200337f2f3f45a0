#include "PluginListModel.h"

#include "ui/UiTexts.h"

#include <QFont>

namespace ov::ui::qt {

PluginListModel::PluginListModel(QObject *parent) : QAbstractTableModel(parent) { }

void PluginListModel::setRecords(const catalogue::PluginList &records)
{
    beginResetModel();
    m_records = records;
    m_openRow = -1;
    endResetModel();
}

void PluginListModel::setOpenRow(int row)
{
    const int previous = m_openRow;
    m_openRow = row >= 0 && row < m_records.size() ? row : -1;
    for (const int changed : {previous, m_openRow}) {
        if (changed >= 0)
            emit dataChanged(index(changed, 0), index(changed, ColumnCount - 1), {Qt::FontRole});
    }
}

int PluginListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_records.size());
}

int PluginListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PluginListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_records.size())
        return {};
    const catalogue::PluginRecord &record = m_records.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case TypeColumn:
            return record.Type;
        case PluginColumn:
            return record.Plugin;
        case StateColumn:
            return record.State;
        default:
            return {};
        }
    case Qt::ToolTipRole:
        return record.fileLocation;
    case Qt::FontRole:
        if (index.row() == m_openRow) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    default:
        return {};
    }
}

QVariant PluginListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TypeColumn:
        return texts::kTypeColumn;
    case PluginColumn:
        return texts::kPluginColumn;
    case StateColumn:
        return texts::kStateColumn;
    default:
        return {};
    }
}

} // namespace ov::ui::qt
