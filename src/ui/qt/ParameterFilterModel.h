#pragma once

#include <QSortFilterProxyModel>

namespace ov::ui::qt {

// The parameter list's arranged order: sorted by the chosen column and filtered by the search text
// (number and name), and, when asked, without the parameters that stand on a control already.
// The first row of the list, the empty entry "-" that clears a control, always stays on top and is
// never filtered away.
class ParameterFilterModel final : public QSortFilterProxyModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParameterFilterModel)

public:
    explicit ParameterFilterModel(QObject *parent = nullptr);

    // The search text: the rows whose number or name holds it, whatever the case, stay; the rows
    // it finds are those ovmap's --filter finds.
    void setSearchText(const QString &text);
    const QString &searchText() const { return m_searchText; }
    void setHideMapped(bool hide);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    // Filters every row again at once: one change of the layout for the whole list, which a long
    // list takes far faster than the rows coming and going range by range.
    void refilter();

    QString m_searchText;
    bool m_hideMapped = false;
};

} // namespace ov::ui::qt
