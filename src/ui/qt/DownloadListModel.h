#pragma once

#include "community/DownloadList.h"

#include <QAbstractTableModel>

namespace ov::ui::qt {

// The shared mappings of one list reply, in reply order: who shared each, when, how often it was
// downloaded, and its comment.
class DownloadListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadListModel)

public:
    enum Column {
        UserColumn,
        UploadedColumn,
        DownloadsColumn,
        CommentsColumn,
        ColumnCount
    };

    explicit DownloadListModel(QObject *parent = nullptr);

    void setEntries(const QVector<community::DownloadListEntry> &entries);
    const QVector<community::DownloadListEntry> &entries() const { return m_entries; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVector<community::DownloadListEntry> m_entries;
};

} // namespace ov::ui::qt
