#pragma once

#include "mapping/ParameterEntry.h"

#include <QAbstractTableModel>
#include <QVector>

namespace ov::ui::qt {

// The available-parameter list as a table: the parameter's number and name.
class ParameterListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParameterListModel)

public:
    enum Column { ParamNumColumn, ParameterColumn, ColumnCount };
    // The value a column sorts by: numbers as numbers where they are numbers.
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit ParameterListModel(QObject *parent = nullptr);

    void setEntries(const QVector<mapping::ParameterEntry> &entries);
    const mapping::ParameterEntry &entry(int row) const { return m_entries.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVector<mapping::ParameterEntry> m_entries;
};

} // namespace ov::ui::qt
