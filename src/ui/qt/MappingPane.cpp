#include "MappingPane.h"

#include "CommunityPane.h"
#include "WindowParts.h"

#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QGridLayout>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <optional>

namespace ov::ui::qt {

MappingPane::MappingPane(QWidget *parent) : QWidget(parent)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(4, 0, 0, 0);
    column->addWidget(heading(texts::kMappingHeading, this));
    // Two columns of buttons, so that the pane is no taller than the lists need to be.
    auto *grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    struct MappingButton {
        std::optional<Button> button;
        const QString &text;
        const char *name;
        QStyle::StandardPixmap icon;
        int row;
        int column;
        void (ViewController::*run)();
    };
    const MappingButton rows[] = {
        {Button::exportToPlist, texts::kSaveMapping, "ovExportToPlist", QStyle::SP_DialogSaveButton, 0, 0,
         &ViewController::ovExportToPlist},
        {Button::recallOriginalMapping, texts::kRecallOriginal, "ovRecallOriginalMapping", QStyle::SP_DialogResetButton,
         1, 0, &ViewController::ovRecallOriginalMapping},
        {Button::recallPreviousMapping, texts::kRecallPrevious, "ovRecallPreviousMapping", QStyle::SP_ArrowBack, 2, 0,
         &ViewController::ovRecallPreviousMapping},
        {Button::createChart, texts::kCreateChart, "ovCreateChart", QStyle::SP_FileDialogDetailedView, 0, 1,
         &ViewController::ovCreateChart},
        {Button::openInFinder, texts::kOpenFolder, "btnOpenInFinder", QStyle::SP_DirOpenIcon, 1, 1,
         &ViewController::btnOpenInFinder},
        {std::nullopt, texts::kHelpButton, "ovHelpMe", QStyle::SP_DialogHelpButton, 2, 1, &ViewController::ovHelpMe},
    };
    for (const MappingButton &row : rows) {
        QPushButton *button = pushButton(row.text, QLatin1String(row.name), this);
        button->setIcon(style()->standardIcon(row.icon));
        runOnClick(button, m_controller, row.run);
        if (row.button)
            m_buttons.insert(*row.button, button);
        grid->addWidget(button, row.row, row.column);
    }
    QPushButton *save = m_buttons.value(Button::exportToPlist);
    QFont saveFont = save->font();
    saveFont.setBold(true);
    save->setFont(saveFont);
    column->addLayout(grid);
    column->addSpacing(8);
    m_community = new CommunityPane(this);
    column->addWidget(m_community);
    column->addStretch(1);
}

void MappingPane::attach(ViewController &controller)
{
    Q_ASSERT(!m_controller);
    m_controller = &controller;
    m_community->attach(controller);
}

} // namespace ov::ui::qt
