#include "DownloadWindow.h"

#include "DownloadListModel.h"
#include "PlainToolTip.h"
#include "WindowParts.h"

#include "mapping/MappingTable.h"
#include "ui/UiTexts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

namespace ov::ui::qt {

namespace {

constexpr int kPreviewColumns = 8;
constexpr int kPreviewNameWidth = 58;

} // namespace

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
    // One line a row: user, date and count as wide as they need, the comment takes the rest.
    m_table->setWordWrap(false);
    for (int column = 0; column < DownloadListModel::CommentsColumn; ++column)
        m_table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    m_table->setMinimumSize(520, 200);
    layout->addWidget(m_table, 1);

    // The comment, and beside it the first page drawn small: four rows of eight names.
    auto *details = new QHBoxLayout;
    auto *commentColumn = new QVBoxLayout;
    commentColumn->addWidget(new QLabel(texts::kDownloadCommentsCaption, this));
    m_uploadedComments = new QPlainTextEdit(this);
    m_uploadedComments->setObjectName(QStringLiteral("cwinUploadedComments"));
    m_uploadedComments->setReadOnly(true);
    commentColumn->addWidget(m_uploadedComments, 1);
    details->addLayout(commentColumn, 1);
    auto *previewColumn = new QVBoxLayout;
    previewColumn->addWidget(new QLabel(texts::kDownloadPreviewCaption, this));
    m_preview = new QWidget(this);
    m_preview->setObjectName(QStringLiteral("cwinDownloadPreview"));
    auto *grid = new QGridLayout(m_preview);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.75);
    for (int control = 0; control < mapping::kControlsPerPage; ++control) {
        auto *name = new QLabel(m_preview);
        name->setFont(small);
        name->setFixedWidth(kPreviewNameWidth);
        name->setFrameShape(QFrame::StyledPanel);
        name->setAlignment(Qt::AlignCenter);
        name->setTextFormat(Qt::PlainText);
        m_previewNames.append(name);
        grid->addWidget(name, control / kPreviewColumns, control % kPreviewColumns);
    }
    previewColumn->addWidget(m_preview);
    previewColumn->addStretch(1);
    details->addLayout(previewColumn);
    layout->addLayout(details);

    auto *buttons = new QHBoxLayout;
    m_delete = pushButton(texts::kDeleteSharedButton, QStringLiteral("cwinDeleteShared"), this);
    m_delete->setEnabled(false);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    m_close = pushButton(texts::kCloseButton, QStringLiteral("cwinDownloadClose"), this);
    buttons->addWidget(m_close);
    m_load = pushButton(texts::kLoadIntoEditor, QStringLiteral("ovCommunityLoadSelectedDownload"), this);
    buttons->addWidget(m_load);
    layout->addLayout(buttons);

    // A click moves the current row before the selection; the comment follows the selection.
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &DownloadWindow::highlighted);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DownloadWindow::highlighted);
    // Nothing to load until a shared mapping is chosen.
    m_load->setEnabled(false);
    connect(this, &DownloadWindow::highlighted, m_load, [this] { m_load->setEnabled(selectedEntry().has_value()); });
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_table, &QAbstractItemView::doubleClicked, this, &DownloadWindow::loadHighlighted);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *load = new QShortcut(QKeySequence(key), this);
        connect(load, &QShortcut::activated, this, &DownloadWindow::loadHighlighted);
    }
    setPreview({});
}

void DownloadWindow::loadHighlighted()
{
    if (m_load->isEnabled())
        m_load->click();
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

void DownloadWindow::setPreview(const QStringList &controlNames)
{
    m_previewTexts = controlNames;
    for (qsizetype control = 0; control < m_previewNames.size(); ++control) {
        QLabel *name = m_previewNames.at(control);
        const QString text = control < controlNames.size() ? controlNames.at(control) : QString();
        // Cut to the box; the tooltip holds the whole name.
        name->setText(name->fontMetrics().elidedText(text, Qt::ElideRight, kPreviewNameWidth - 4));
        name->setToolTip(plainToolTip(text));
    }
}

} // namespace ov::ui::qt
