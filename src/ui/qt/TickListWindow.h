#pragma once

#include "ui/View.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QTableWidget;

namespace ov::ui::qt {

// A modal window of plug-ins with ticks, each with what an operation would do to it: filtered by type
// and by name, every shown row ticked or unticked at once, and a button that goes on with the ticked
// rows still shown.
class TickListWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TickListWindow)

public:
    TickListWindow(const View::TickList &list, QWidget *parent = nullptr);

    // Nothing when the user cancels.
    static std::optional<QVector<int>> ask(const View::TickList &list, QWidget *parent);

    // The rows ticked and shown, in list order.
    QVector<int> tickedRows() const;
    void setAllShownTicked(bool ticked);

private:
    void applyFilter();

    QTableWidget *m_rows = nullptr;
    QComboBox *m_type = nullptr;
    QLineEdit *m_name = nullptr;
};

} // namespace ov::ui::qt
