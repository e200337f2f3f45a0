#include "DownloadListModel.h"

#include "PlainToolTip.h"

#include "ui/UiTexts.h"

#include <QJsonValue>

#include <array>

namespace ov::ui::qt {

DownloadListModel::DownloadListModel(QObject *parent) : QAbstractTableModel(parent) { }

void DownloadListModel::setEntries(const QVector<community::DownloadListEntry> &entries)
{
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

int DownloadListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int DownloadListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DownloadListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::ToolTipRole)
        return plainToolTip(data(index, Qt::DisplayRole).toString());
    if (role != Qt::DisplayRole)
        return {};
    const community::DownloadListEntry &entry = m_entries.at(index.row());
    switch (index.column()) {
    case UserColumn:
        return entry.object.value(QLatin1String("user")).toString();
    case UploadedColumn:
        return entry.object.value(QLatin1String("uploaded")).toString().left(10);
    case DownloadsColumn:
        return entry.object.value(QLatin1String("downloads")).toVariant();
    case CommentsColumn:
        return entry.userComments().simplified();
    default:
        return {};
    }
}

QVariant DownloadListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const std::array<QString, ColumnCount> titles{texts::kUserColumn, texts::kUploadedColumn, texts::kDownloadsColumn,
                                                  texts::kCommentsColumn};
    return section >= 0 && section < ColumnCount ? titles[size_t(section)] : QVariant();
}

} // namespace ov::ui::qt
