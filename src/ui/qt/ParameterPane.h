#pragma once

#include "mapping/ParameterEntry.h"

#include <QStringList>
#include <QWidget>

#include <optional>

class QCheckBox;
class QLineEdit;

namespace ov::ui {
class ViewController;
}

namespace ov::ui::qt {

class ParameterFilterModel;
class ParameterListModel;
class ParameterTable;

// The Plugin Parameters list: its heading, the search field, "Hide mapped", and the list sorted and
// filtered as they say. Rows are read and selected in the list's arranged order (as on screen).
class ParameterPane final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParameterPane)

public:
    explicit ParameterPane(QWidget *parent = nullptr);

    // Sends a click on the list to `controller`; call once.
    void attach(ViewController &controller);

    void setEntries(const QVector<mapping::ParameterEntry> &entries);
    void setPlacements(const QVector<QVector<int>> &placements);
    std::optional<mapping::ParameterEntry> arrangedEntry(int row) const;
    int selectedRow() const;
    void selectRow(int row);
    void selectNextRow();
    // The arranged row of the list's own row `row`, while it still holds `entry`: the list may have
    // been replaced since a drag of it started.
    std::optional<int> arrangedRowHolding(int row, const mapping::ParameterEntry &entry) const;

    QString searchText() const;
    void clearSearch();
    // Puts the keyboard in the search field, its text selected.
    void focusSearch();
    // The pane's stops of the window's Tab order, in order.
    QList<QWidget *> tabStops() const;
    // The list's height when it shows `rows` rows, with its heading and search row.
    int heightForRows(int rows) const;

private:
    // A double click on a row's places shows the first of them, its control focused.
    void showPlacement(const QModelIndex &proxyIndex);

    ViewController *m_controller = nullptr;
    ParameterListModel *m_model = nullptr;
    ParameterFilterModel *m_proxy = nullptr;
    ParameterTable *m_table = nullptr;
    QLineEdit *m_search = nullptr;
    QCheckBox *m_hideMapped = nullptr;
};

} // namespace ov::ui::qt
