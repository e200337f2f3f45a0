#include "ParameterFilterModel.h"

#include "ParameterListModel.h"

namespace ov::ui::qt {

ParameterFilterModel::ParameterFilterModel(QObject *parent) : QSortFilterProxyModel(parent)
{
    setSortRole(ParameterListModel::SortRole);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setFilterKeyColumn(-1);
}

void ParameterFilterModel::setSearchText(const QString &text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    refilter();
}

void ParameterFilterModel::setHideMapped(bool hide)
{
    if (hide == m_hideMapped)
        return;
    m_hideMapped = hide;
    refilter();
}

void ParameterFilterModel::refilter()
{
    invalidate();
}

bool ParameterFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    Q_UNUSED(sourceParent)
    if (sourceRow == 0)
        return true;
    const auto *list = static_cast<const ParameterListModel *>(sourceModel());
    if (m_hideMapped && !list->placement(sourceRow).isEmpty())
        return false;
    // The search looks at the number and the name, not at where a parameter stands.
    return mapping::matchesSearch(list->entry(sourceRow), m_searchText);
}

bool ParameterFilterModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    // Row 0 is the least in ascending order and the greatest in descending order: first in both.
    if (left.row() == 0 || right.row() == 0) {
        if (left.row() == right.row())
            return false;
        return sortOrder() == Qt::AscendingOrder ? left.row() == 0 : right.row() == 0;
    }
    const QVariant a = left.data(sortRole());
    const QVariant b = right.data(sortRole());
    // Numbers before texts, numbers by value.
    const bool aNumber = a.typeId() == QMetaType::LongLong;
    const bool bNumber = b.typeId() == QMetaType::LongLong;
    if (aNumber != bNumber)
        return aNumber;
    if (aNumber)
        return a.toLongLong() < b.toLongLong();
    const int order = QString::compare(a.toString(), b.toString(), sortCaseSensitivity());
    if (order != 0)
        return order < 0;
    return left.row() < right.row();
}

} // namespace ov::ui::qt
