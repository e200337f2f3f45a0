#pragma once

#include "catalogue/PluginRecord.h"

#include <QPersistentModelIndex>
#include <QWidget>

#include <optional>

class QSortFilterProxyModel;
class QTableView;

namespace ov::ui {
class ViewController;
}

namespace ov::ui::qt {

class PluginListModel;

// The plug-in list: its heading, the button that scans for plug-ins, and the sortable list. The row
// clicked, or highlighted when Return is pressed, is the chosen plug-in that the controller opens.
class PluginPane final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PluginPane)

public:
    explicit PluginPane(QWidget *parent = nullptr);

    // Sends the scan and the choice of a plug-in to `controller`; call once.
    void attach(ViewController &controller);

    void setRecords(const catalogue::PluginList &records);
    catalogue::PluginList records() const;
    std::optional<catalogue::PluginRecord> chosenPlugin() const;
    // Makes the plug-in at `record`'s file the chosen one, highlighted, without telling the controller.
    void selectPlugin(const catalogue::PluginRecord &record);
    QTableView *table() const { return m_table; }

signals:
    // The controller opened the plug-in just chosen.
    void pluginOpened();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The row chosen (clicked, or Return pressed on it) becomes the selection the controller reads,
    // and the controller is told.
    void choosePlugin(const QModelIndex &proxyIndex);

    ViewController *m_controller = nullptr;
    PluginListModel *m_model = nullptr;
    QSortFilterProxyModel *m_proxy = nullptr;
    QTableView *m_table = nullptr;
    QPersistentModelIndex m_chosen; // in m_model
};

} // namespace ov::ui::qt
