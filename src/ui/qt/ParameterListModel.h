#pragma once

#include "mapping/ParameterEntry.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

namespace ov::ui::qt {

// The available-parameter list as a table: the parameter's number and name, and where it stands on
// the panel ("2/5, 3/1": page and control). A row can be dragged onto a control.
class ParameterListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParameterListModel)

public:
    enum Column {
        ParamNumColumn,
        ParameterColumn,
        MappedColumn,
        ColumnCount
    };
    // The value a column sorts by: numbers as numbers where they are numbers.
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit ParameterListModel(QObject *parent = nullptr);

    void setEntries(const QVector<mapping::ParameterEntry> &entries);
    const mapping::ParameterEntry &entry(int row) const { return m_entries.at(row); }
    // Where each entry stands, in the entries' order; rows beyond the list stand nowhere.
    // The slots each entry stands on, in table order.
    void setPlacements(const QVector<QVector<int>> &placements);
    // "2/5, 3/1": page and control of each slot of the entry on `row`.
    QString placement(int row) const;
    // The slots of the entry on `row`, in table order.
    QVector<int> placedSlots(int row) const { return m_placements.value(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    QVector<mapping::ParameterEntry> m_entries;
    QVector<QVector<int>> m_placements;
};

} // namespace ov::ui::qt
