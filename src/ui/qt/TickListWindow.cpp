#include "TickListWindow.h"

#include "ui/UiTexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ov::ui::qt {

namespace {

enum Column {
    NameColumn,
    TypeColumn,
    DetailColumn
};

} // namespace

TickListWindow::TickListWindow(const View::TickList &list, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("tickListWindow"));
    setWindowTitle(list.title);
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    auto *explanation = new QLabel(list.explanation);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    auto *filters = new QHBoxLayout;
    m_type = new QComboBox;
    m_type->setObjectName(QStringLiteral("typeFilter"));
    m_type->setAccessibleName(texts::kTypeColumn);
    m_type->addItem(texts::kAllTypes);
    m_name = new QLineEdit;
    m_name->setObjectName(QStringLiteral("nameFilter"));
    m_name->setPlaceholderText(texts::kFilterByName);
    m_name->setAccessibleName(texts::kFilterByName);
    m_name->setClearButtonEnabled(true);
    auto *all = new QPushButton(texts::kSelectAll);
    all->setObjectName(QStringLiteral("selectAll"));
    auto *none = new QPushButton(texts::kSelectNone);
    none->setObjectName(QStringLiteral("selectNone"));
    filters->addWidget(m_type);
    filters->addWidget(m_name, 1);
    filters->addWidget(all);
    filters->addWidget(none);
    layout->addLayout(filters);

    m_rows = new QTableWidget(static_cast<int>(list.rows.size()), 3);
    m_rows->setObjectName(QStringLiteral("tickRows"));
    m_rows->setAccessibleName(list.title);
    m_rows->setHorizontalHeaderLabels({texts::kPluginColumn, texts::kTypeColumn, list.detailHeading});
    m_rows->verticalHeader()->hide();
    m_rows->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rows->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_rows->horizontalHeader()->setSectionResizeMode(DetailColumn, QHeaderView::ResizeToContents);
    QStringList types;
    for (int row = 0; row < list.rows.size(); ++row) {
        const View::TickRow &shown = list.rows.at(row);
        auto *name = new QTableWidgetItem(shown.name);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        name->setCheckState(shown.ticked ? Qt::Checked : Qt::Unchecked);
        m_rows->setItem(row, NameColumn, name);
        m_rows->setItem(row, TypeColumn, new QTableWidgetItem(shown.type));
        m_rows->setItem(row, DetailColumn, new QTableWidgetItem(shown.detail));
        if (!shown.type.isEmpty() && !types.contains(shown.type))
            types.append(shown.type);
    }
    m_type->addItems(types);
    layout->addWidget(m_rows, 1);

    auto *buttons = new QDialogButtonBox;
    QPushButton *confirm = buttons->addButton(list.confirm, QDialogButtonBox::AcceptRole);
    confirm->setObjectName(QStringLiteral("confirm"));
    confirm->setDefault(true);
    buttons->addButton(texts::kCancelButton, QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);

    connect(m_type, &QComboBox::currentIndexChanged, this, &TickListWindow::applyFilter);
    connect(m_name, &QLineEdit::textChanged, this, &TickListWindow::applyFilter);
    connect(all, &QPushButton::clicked, this, [this] { setAllShownTicked(true); });
    connect(none, &QPushButton::clicked, this, [this] { setAllShownTicked(false); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(720, 480);
}

std::optional<QVector<int>> TickListWindow::ask(const View::TickList &list, QWidget *parent)
{
    TickListWindow window(list, parent);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return window.tickedRows();
}

void TickListWindow::applyFilter()
{
    const QString type = m_type->currentIndex() > 0 ? m_type->currentText() : QString();
    const QString name = m_name->text().trimmed();
    for (int row = 0; row < m_rows->rowCount(); ++row) {
        const bool shown = (type.isEmpty() || m_rows->item(row, TypeColumn)->text() == type)
                           && m_rows->item(row, NameColumn)->text().contains(name, Qt::CaseInsensitive);
        m_rows->setRowHidden(row, !shown);
    }
}

void TickListWindow::setAllShownTicked(bool ticked)
{
    for (int row = 0; row < m_rows->rowCount(); ++row) {
        if (!m_rows->isRowHidden(row))
            m_rows->item(row, NameColumn)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
}

QVector<int> TickListWindow::tickedRows() const
{
    // What the filter hides is not acted on: the user goes on with what is in view.
    QVector<int> rows;
    for (int row = 0; row < m_rows->rowCount(); ++row) {
        if (!m_rows->isRowHidden(row) && m_rows->item(row, NameColumn)->checkState() == Qt::Checked)
            rows.append(row);
    }
    return rows;
}

} // namespace ov::ui::qt
