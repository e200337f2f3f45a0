#include "CommunityWindows.h"

#include "PlainToolTip.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QJsonValue>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace ov::ui::qt {

namespace {

QLineEdit *lineEdit(const QString &objectName, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setMinimumWidth(240);
    return edit;
}

QPushButton *button(const QString &text, const QString &objectName, QWidget *parent)
{
    auto *pushButton = new QPushButton(text, parent);
    pushButton->setObjectName(objectName);
    return pushButton;
}

} // namespace

SignInWindow::SignInWindow()
{
    setObjectName(QStringLiteral("cwinCloudWindow"));
    setWindowTitle(QStringLiteral("Community Library: Sign In"));
    auto *layout = new QVBoxLayout(this);

    auto *signInBox = new QGroupBox(QStringLiteral("Sign in"), this);
    auto *signInForm = new QFormLayout(signInBox);
    m_userName = lineEdit(QStringLiteral("cwinUserName"), signInBox);
    m_pinCode = lineEdit(QStringLiteral("cwinPinCode"), signInBox);
    m_pinCode->setEchoMode(QLineEdit::Password);
    m_signIn = button(QStringLiteral("Sign In"), QStringLiteral("cwinLoginAttempt"), signInBox);
    m_signIn->setDefault(true);
    signInForm->addRow(QStringLiteral("User name:"), m_userName);
    signInForm->addRow(QStringLiteral("PIN code:"), m_pinCode);
    signInForm->addRow(QString(), m_signIn);
    layout->addWidget(signInBox);

    auto *newUserBox = new QGroupBox(QStringLiteral("New user"), this);
    auto *newUserForm = new QFormLayout(newUserBox);
    m_userNameNew = lineEdit(QStringLiteral("cwinUserNameNew"), newUserBox);
    m_emailAddrNew = lineEdit(QStringLiteral("cwinEmailAddrNew"), newUserBox);
    m_create = button(QStringLiteral("Create User"), QStringLiteral("cwinNewUserCreate"), newUserBox);
    newUserForm->addRow(QStringLiteral("User name:"), m_userNameNew);
    newUserForm->addRow(QStringLiteral("E-mail address:"), m_emailAddrNew);
    newUserForm->addRow(QString(), m_create);
    layout->addWidget(newUserBox);

    // The two groups' fields line up: their labels share the widest one's width.
    QList<QWidget *> labels;
    for (const auto &[form, fields] :
         {std::pair{signInForm, QList<QWidget *>{m_userName, m_pinCode, m_signIn}},
          std::pair{newUserForm, QList<QWidget *>{m_userNameNew, m_emailAddrNew, m_create}}}) {
        for (QWidget *field : fields) {
            if (QWidget *label = form->labelForField(field))
                labels.append(label);
        }
    }
    int labelWidth = 0;
    for (const QWidget *label : std::as_const(labels))
        labelWidth = std::max(labelWidth, label->sizeHint().width());
    for (QWidget *label : std::as_const(labels))
        label->setMinimumWidth(labelWidth);

    connect(m_pinCode, &QLineEdit::returnPressed, m_signIn, &QPushButton::click);
}

UploadWindow::UploadWindow()
{
    setObjectName(QStringLiteral("cwinUploadWindow"));
    setWindowTitle(QStringLiteral("Community Library: Share Mapping"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Comments for other users of this mapping:"), this));
    m_comments = new QPlainTextEdit(this);
    m_comments->setObjectName(QStringLiteral("cwinUploadComments"));
    m_comments->setMinimumSize(380, 140);
    layout->addWidget(m_comments, 1);
    m_upload = button(QStringLiteral("Upload"), QStringLiteral("ovCommunityUploadBtn"), this);
    // Publishing cannot be taken back: no key but a deliberate press on the button itself uploads.
    m_upload->setAutoDefault(false);
    m_upload->setDefault(false);
    layout->addWidget(m_upload, 0, Qt::AlignRight);
}

void UploadWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Whatever the user types first goes into the comment, never onto the Upload button.
    m_comments->setFocus(Qt::ActiveWindowFocusReason);
}

DownloadListModel::DownloadListModel(QObject *parent) : QAbstractTableModel(parent) { }

void DownloadListModel::setEntries(const QVector<community::DownloadListEntry> &entries)
{
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

int DownloadListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int DownloadListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DownloadListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::ToolTipRole)
        return plainToolTip(data(index, Qt::DisplayRole).toString());
    if (role != Qt::DisplayRole)
        return {};
    const community::DownloadListEntry &entry = m_entries.at(index.row());
    switch (index.column()) {
    case UserColumn:
        return entry.object.value(QLatin1String("user")).toString();
    case UploadedColumn:
        return entry.object.value(QLatin1String("uploaded")).toString().left(10);
    case DownloadsColumn:
        return entry.object.value(QLatin1String("downloads")).toVariant();
    case CommentsColumn:
        return entry.userComments().simplified();
    default:
        return {};
    }
}

QVariant DownloadListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const titles[] = {"User", "Uploaded", "Downloads", "Comments"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(titles[section]) : QVariant();
}

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
    layout->addWidget(new QLabel(QStringLiteral("Comments:"), this));
    m_uploadedComments = new QPlainTextEdit(this);
    m_uploadedComments->setObjectName(QStringLiteral("cwinUploadedComments"));
    m_uploadedComments->setReadOnly(true);
    m_uploadedComments->setMaximumHeight(100);
    layout->addWidget(m_uploadedComments);
    m_load = button(QStringLiteral("Load Into Editor"), QStringLiteral("ovCommunityLoadSelectedDownload"), this);
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
    const QString title = QStringLiteral("Community Library: Shared Mappings");
    setWindowTitle(plugin.isEmpty() ? title : QStringLiteral("%1 for %2").arg(title, plugin));
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
