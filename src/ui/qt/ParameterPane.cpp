#include "ParameterPane.h"

#include "ParameterFilterModel.h"
#include "ParameterListModel.h"
#include "ParameterTable.h"
#include "WindowParts.h"

#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ov::ui::qt {

ParameterPane::ParameterPane(QWidget *parent) : QWidget(parent)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(4, 0, 4, 0);
    auto *top = new QHBoxLayout;
    top->addWidget(heading(texts::kParametersHeading, this));
    top->addStretch(1);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("parameterSearchField"));
    m_search->setPlaceholderText(texts::kSearchPlaceholder);
    m_search->setClearButtonEnabled(true);
    m_search->setMaximumWidth(220);
    m_search->setAccessibleName(texts::kSearchParametersName);
    m_search->setToolTip(
        texts::kSearchParametersTip.arg(QKeySequence(QKeySequence::Find).toString(QKeySequence::NativeText)));
    m_hideMapped = new QCheckBox(texts::kHideMapped, this);
    m_hideMapped->setObjectName(QStringLiteral("hideMappedParameters"));
    m_hideMapped->setToolTip(texts::kHideMappedTip);
    top->addWidget(m_hideMapped);
    top->addWidget(m_search, 1);
    column->addLayout(top);

    m_model = new ParameterListModel(this);
    m_proxy = new ParameterFilterModel(this);
    m_proxy->setSourceModel(m_model);
    m_table = listTable<ParameterTable>(QStringLiteral("tablePlistOfSelectedPlugin"), this);
    m_table->setAccessibleName(texts::kParametersHeading);
    m_table->setModel(m_proxy);
    // The name takes the room the number and the places leave.
    QHeaderView *header = m_table->horizontalHeader();
    header->setStretchLastSection(false);
    header->resizeSection(ParameterListModel::ParamNumColumn, 60);
    header->setSectionResizeMode(ParameterListModel::ParameterColumn, QHeaderView::Stretch);
    // Wide enough for two places of two-digit pages.
    header->resizeSection(ParameterListModel::MappedColumn,
                          fontMetrics().horizontalAdvance(QStringLiteral("12/32, 13/32")) + 16);
    // A row dragged onto a control goes there.
    m_table->setDragEnabled(true);
    m_table->setDragDropMode(QAbstractItemView::DragOnly);
    m_table->setDefaultDropAction(Qt::CopyAction);
    connect(m_search, &QLineEdit::textChanged, m_proxy, &ParameterFilterModel::setSearchText);
    connect(m_hideMapped, &QCheckBox::toggled, m_proxy, &ParameterFilterModel::setHideMapped);
    connect(m_table, &QTableView::clicked, this, [this] {
        if (m_controller)
            m_controller->tablePlistView();
    });
    connect(m_table, &QTableView::doubleClicked, this, &ParameterPane::showPlacement);
    column->addWidget(m_table, 1);
}

void ParameterPane::showPlacement(const QModelIndex &proxyIndex)
{
    if (!m_controller || proxyIndex.column() != ParameterListModel::MappedColumn)
        return;
    const QVector<int> placed = m_model->placedSlots(m_proxy->mapToSource(proxyIndex).row());
    if (!placed.isEmpty())
        m_controller->showControl(placed.first() / mapping::kControlsPerPage + 1,
                                  placed.first() % mapping::kControlsPerPage + 1);
}

QList<QWidget *> ParameterPane::tabStops() const
{
    return {m_hideMapped, m_search, m_table};
}

int ParameterPane::heightForRows(int rows) const
{
    const int top = layout()->itemAt(0)->sizeHint().height() + layout()->spacing();
    const int frame = 2 * m_table->frameWidth();
    return top + frame + m_table->horizontalHeader()->sizeHint().height()
           + rows * m_table->verticalHeader()->defaultSectionSize();
}

void ParameterPane::attach(ViewController &controller)
{
    Q_ASSERT(!m_controller);
    m_controller = &controller;
}

void ParameterPane::setEntries(const QVector<mapping::ParameterEntry> &entries)
{
    m_model->setEntries(entries);
}

void ParameterPane::setPlacements(const QVector<QVector<int>> &placements)
{
    m_model->setPlacements(placements);
}

std::optional<mapping::ParameterEntry> ParameterPane::arrangedEntry(int row) const
{
    if (row < 0 || row >= m_proxy->rowCount())
        return std::nullopt;
    const QModelIndex source = m_proxy->mapToSource(m_proxy->index(row, 0));
    if (!source.isValid())
        return std::nullopt;
    return m_model->entry(source.row());
}

int ParameterPane::selectedRow() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ParameterPane::selectRow(int row)
{
    QItemSelectionModel *selection = m_table->selectionModel();
    if (row < 0 || row >= m_proxy->rowCount()) {
        selection->clearSelection();
        return;
    }
    const QModelIndex index = m_proxy->index(row, 0);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_table->scrollTo(index);
}

void ParameterPane::selectNextRow()
{
    const int row = selectedRow();
    if (row >= 0 && row + 1 < m_proxy->rowCount())
        selectRow(row + 1);
}

std::optional<int> ParameterPane::arrangedRowHolding(int row, const mapping::ParameterEntry &entry) const
{
    if (row < 0 || row >= m_model->rowCount())
        return std::nullopt;
    const mapping::ParameterEntry &listed = m_model->entry(row);
    if (listed.ParamNum != entry.ParamNum || listed.Parameter != entry.Parameter)
        return std::nullopt;
    const QModelIndex arranged = m_proxy->mapFromSource(m_model->index(row, 0));
    if (!arranged.isValid())
        return std::nullopt;
    return arranged.row();
}

QString ParameterPane::searchText() const
{
    return m_proxy->searchText();
}

void ParameterPane::clearSearch()
{
    m_search->clear();
}

void ParameterPane::focusSearch()
{
    m_search->setFocus(Qt::ShortcutFocusReason);
    m_search->selectAll();
}

} // namespace ov::ui::qt
