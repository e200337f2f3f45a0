#pragma once

#include "catalogue/PluginRecord.h"

#include <QAbstractTableModel>

namespace ov::ui::qt {

// The plug-in list as a table: Type, Plugin, State. The open plug-in's row is shown in bold.
class PluginListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PluginListModel)

public:
    enum Column {
        TypeColumn,
        PluginColumn,
        StateColumn,
        ColumnCount
    };

    explicit PluginListModel(QObject *parent = nullptr);

    void setRecords(const catalogue::PluginList &records);
    const catalogue::PluginRecord &record(int row) const { return m_records.at(row); }
    // The row of the open plug-in, or -1.
    void setOpenRow(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    catalogue::PluginList m_records;
    int m_openRow = -1;
};

} // namespace ov::ui::qt
