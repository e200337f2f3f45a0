#pragma once
// Small pieces the main window's panes and the community windows share.

#include <QAbstractItemView>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QString>

namespace ov::ui {
class ViewController;
}

namespace ov::ui::qt {

// A pane's heading: its title in bold.
inline QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A button that the tests and the accessibility tools find by `objectName`.
inline QPushButton *pushButton(const QString &text, const QString &objectName, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    return button;
}

// A click on `button` runs `run` of the controller, once the pane has one (`controller` is its member).
inline void runOnClick(QPushButton *button, ViewController *const &controller, void (ViewController::*run)())
{
    QObject::connect(button, &QPushButton::clicked, button, [&controller, run] {
        if (controller)
            (controller->*run)();
    });
}

// One of the main window's lists: whole rows, one at a time, read-only, sortable by any column.
template <typename Table> Table *listTable(const QString &objectName, QWidget *parent)
{
    auto *table = new Table(parent);
    table->setObjectName(objectName);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    // Unsorted (the list's own order) until the user clicks a heading.
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->setWordWrap(false);
    // Tab leaves the list for the window's next part; the arrows move inside it.
    table->setTabKeyNavigation(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

} // namespace ov::ui::qt
