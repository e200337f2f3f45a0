#include "DownloadWindow.h"

#include "DownloadListModel.h"
#include "WindowParts.h"

#include "ui/UiTexts.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace ov::ui::qt {

DownloadWindow::DownloadWindow()
{
    setObjectName(QStringLiteral("cwinDownloadWindow"));
    setPluginName(QString());
    auto *layout = new QVBoxLayout(this);
    m_model = new DownloadListModel(this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("cwinPlistAvailable"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setMinimumSize(520, 200);
    layout->addWidget(m_table, 1);
    layout->addWidget(new QLabel(texts::kDownloadCommentsCaption, this));
    m_uploadedComments = new QPlainTextEdit(this);
    m_uploadedComments->setObjectName(QStringLiteral("cwinUploadedComments"));
    m_uploadedComments->setReadOnly(true);
    m_uploadedComments->setMaximumHeight(100);
    layout->addWidget(m_uploadedComments);
    m_load = pushButton(texts::kLoadIntoEditor, QStringLiteral("ovCommunityLoadSelectedDownload"), this);
    layout->addWidget(m_load, 0, Qt::AlignRight);
    // A click moves the current row before the selection; the comment follows the selection.
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &DownloadWindow::highlighted);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DownloadWindow::highlighted);
    // Nothing to load until a shared mapping is chosen.
    m_load->setEnabled(false);
    connect(this, &DownloadWindow::highlighted, m_load, [this] { m_load->setEnabled(selectedEntry().has_value()); });
}

void DownloadWindow::setPluginName(const QString &plugin)
{
    setWindowTitle(plugin.isEmpty() ? texts::kDownloadTitle
                                    : texts::kDownloadTitleFor.arg(texts::kDownloadTitle, plugin));
}

std::optional<community::DownloadListEntry> DownloadWindow::selectedEntry() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return m_model->entries().at(rows.first().row());
}

void DownloadWindow::selectRow(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        m_table->clearSelection();
        return;
    }
    m_table->selectRow(row);
}

} // namespace ov::ui::qt
