#include "PluginChooser.h"

#include "ui/UiTexts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ov::ui::qt {

PluginChooser::PluginChooser(const QString &prompt, const catalogue::PluginList &records, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("pluginChooser"));
    setWindowTitle(texts::kCopyMappingTitle);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(prompt, this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("pluginChooserList"));
    for (const catalogue::PluginRecord &record : records)
        m_list->addItem(texts::kScreenTitle.arg(record.Plugin, record.Type));
    layout->addWidget(m_list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    // The row the user picked, not the one the list makes current when it gets the keyboard.
    connect(m_list, &QListWidget::itemSelectionChanged, ok,
            [this, ok] { ok->setEnabled(!m_list->selectedItems().isEmpty()); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(360, 420);
}

std::optional<int> PluginChooser::choose()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    const QList<QListWidgetItem *> picked = m_list->selectedItems();
    if (picked.isEmpty())
        return std::nullopt;
    return m_list->row(picked.first());
}

} // namespace ov::ui::qt
