#include "DownloadListModel.h"

#include "PlainToolTip.h"

#include "ui/UiTexts.h"

#include <QDateTime>
#include <QFont>
#include <QJsonValue>
#include <QLocale>

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
    const community::DownloadListEntry &entry = m_entries.at(index.row());
    // The signed-in user's own mappings stand out: they can be deleted.
    if (role == Qt::FontRole && entry.sharedBySignedInUser) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case UserColumn:
        return entry.sharedBySignedInUser ? texts::kSharedByYou.arg(entry.user()) : entry.user();
    case UploadedColumn: {
        const QDateTime time = entry.uploadedAt();
        return time.isValid() ? QLocale().toString(time, QLocale::ShortFormat)
                              : entry.object.value(QLatin1String("uploaded")).toString();
    }
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
