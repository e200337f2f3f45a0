#pragma once

#include <QTableView>

namespace ov::ui::qt {

// The Plugin Parameters table. A row dragged onto the panel shows as its parameter's name (its number
// when it has none), not as the whole row.
class ParameterTable final : public QTableView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParameterTable)

public:
    explicit ParameterTable(QWidget *parent = nullptr) : QTableView(parent) { }

    // What a drag of `row` (as arranged on screen) shows.
    QString dragText(int row) const;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
};

} // namespace ov::ui::qt
