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

    void setHideMapped(bool hide);
    bool hidesMapped() const { return m_hideMapped; }
    // The search field's text; the rows it finds are those ovmap's --filter finds.
    void setSearchText(const QString &text);
    const QString &searchText() const { return m_searchText; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    bool m_hideMapped = false;
    QString m_searchText;
};

} // namespace ov::ui::qt
