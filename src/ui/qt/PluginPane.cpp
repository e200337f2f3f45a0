#include "PluginPane.h"

#include "PluginListModel.h"
#include "WindowParts.h"

#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace ov::ui::qt {

PluginPane::PluginPane(QWidget *parent) : QWidget(parent)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 4, 0);
    auto *top = new QHBoxLayout;
    top->addWidget(heading(texts::kPluginsHeading, this));
    top->addStretch(1);
    QPushButton *scan = pushButton(texts::kScanForPlugins, QStringLiteral("btnRunCheck"), this);
    scan->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    runOnClick(scan, m_controller, &ViewController::btnRunCheck);
    top->addWidget(scan);
    column->addLayout(top);

    m_model = new PluginListModel(this);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_table = listTable<QTableView>(QStringLiteral("pluginTableView"), this);
    m_table->setModel(m_proxy);
    m_table->setAccessibleName(texts::kPluginsHeading);
    // The plug-in's name takes the room the others leave.
    QHeaderView *header = m_table->horizontalHeader();
    header->setStretchLastSection(false);
    header->resizeSection(PluginListModel::TypeColumn, 110);
    header->setSectionResizeMode(PluginListModel::PluginColumn, QHeaderView::Stretch);
    header->resizeSection(PluginListModel::StateColumn,
                          fontMetrics().horizontalAdvance(catalogue::kEditableState) + 24);
    m_table->installEventFilter(this);
    connect(m_table, &QTableView::clicked, this, &PluginPane::choosePlugin);
    column->addWidget(m_table, 1);
}

void PluginPane::attach(ViewController &controller)
{
    Q_ASSERT(!m_controller);
    m_controller = &controller;
}

void PluginPane::setRecords(const catalogue::PluginList &records)
{
    m_model->setRecords(records);
}

catalogue::PluginList PluginPane::records() const
{
    catalogue::PluginList records;
    for (int row = 0; row < m_model->rowCount(); ++row)
        records.append(m_model->record(row));
    return records;
}

std::optional<catalogue::PluginRecord> PluginPane::chosenPlugin() const
{
    if (!m_chosen.isValid())
        return std::nullopt;
    return m_model->record(m_chosen.row());
}

void PluginPane::selectPlugin(const catalogue::PluginRecord &record)
{
    m_chosen = QPersistentModelIndex();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->record(row).fileLocation == record.fileLocation) {
            m_chosen = m_model->index(row, 0);
            break;
        }
    }
    const QModelIndex shown = m_proxy->mapFromSource(m_chosen);
    if (shown.isValid())
        m_table->selectionModel()->setCurrentIndex(shown,
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        m_table->selectionModel()->clearSelection();
}

void PluginPane::choosePlugin(const QModelIndex &proxyIndex)
{
    if (!m_controller || !proxyIndex.isValid())
        return;
    const QModelIndex chosen = m_proxy->mapToSource(proxyIndex);
    m_chosen = chosen;
    m_controller->tablePluginSelected();
    m_model->setOpenRow(m_chosen.isValid() ? m_chosen.row() : -1);
    if (m_chosen == chosen)
        emit pluginOpened();
}

bool PluginPane::eventFilter(QObject *watched, QEvent *event)
{
    // Return on the list opens the highlighted plug-in, as a click does.
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // The row with the keyboard's focus frame, selected or not: a list of one plug-in starts
            // with it current but unselected, and Down cannot select it.
            const QModelIndex current = m_table->currentIndex();
            if (current.isValid())
                choosePlugin(current);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ov::ui::qt
