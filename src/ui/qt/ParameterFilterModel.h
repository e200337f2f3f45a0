#pragma once

#include <QSortFilterProxyModel>

namespace ov::ui::qt {

// The parameter list's arranged order: sorted by the chosen column and filtered by the search text.
// The first row of the list, the empty entry "-" that clears a control, always stays on top and is
// never filtered away.
class ParameterFilterModel final : public QSortFilterProxyModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParameterFilterModel)

public:
    explicit ParameterFilterModel(QObject *parent = nullptr);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;
};

} // namespace ov::ui::qt
