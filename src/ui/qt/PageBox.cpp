#include "PageBox.h"

#include "WindowParts.h"

#include "panel/PanelLabels.h"
#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <vector>

namespace ov::ui::qt {

namespace {

// A button beside the panel: its box, its place in the box's grid, and the operation it runs.
struct PageButton {
    Button button;
    const QString &text;
    const char *name;
    QStyle::StandardPixmap icon;
    enum Box {
        Page,
        Move
    } box;
    int row;
    int column;
    void (ViewController::*run)();
};

// The buttons of the two boxes, in the keyboard's order.
std::vector<PageButton> pageButtons()
{
    using VC = ViewController;
    return {
        {Button::prevPage, texts::kPreviousButton, "prevPageButton", QStyle::SP_ArrowLeft, PageButton::Page, 1, 0,
         &VC::prevPageButtonPressed},
        {Button::nextPage, texts::kNextButton, "nextPageButton", QStyle::SP_ArrowRight, PageButton::Page, 1, 1,
         &VC::nextPageButtonPressed},
        {Button::firstPage, texts::kFirstButton, "firstPageButton", QStyle::SP_MediaSkipBackward, PageButton::Page, 2,
         0, &VC::firstPageButtonPressed},
        {Button::lastPage, texts::kLastButton, "lastPageButton", QStyle::SP_MediaSkipForward, PageButton::Page, 2, 1,
         &VC::lastPageButtonPressed},
        {Button::newPage, texts::kStepNewPage, "newPageButton", QStyle::SP_FileDialogNewFolder, PageButton::Page, 3, 0,
         &VC::newPageButtonPressed},
        {Button::clearPage, texts::kStepClearPage, "clearAllPagesButton", QStyle::SP_DialogDiscardButton,
         PageButton::Page, 3, 1, &VC::clearAllPagesButtonPressed},
        {Button::deletePage, texts::kStepDeletePage, "deletePageButton", QStyle::SP_TrashIcon, PageButton::Page, 4, 0,
         &VC::deletePageButtonPressed},
        {Button::movePagePrev, texts::kBackButton, "ovMovePage_Prev", QStyle::SP_ArrowLeft, PageButton::Move, 0, 0,
         &VC::ovMovePage_Prev},
        {Button::movePageNext, texts::kForwardButton, "ovMovePage_Next", QStyle::SP_ArrowRight, PageButton::Move, 0, 1,
         &VC::ovMovePage_Next},
        {Button::movePageFirst, texts::kToFirstButton, "ovMovePage_First", QStyle::SP_MediaSkipBackward,
         PageButton::Move, 1, 0, &VC::ovMovePage_First},
        {Button::movePageLast, texts::kToLastButton, "ovMovePage_Last", QStyle::SP_MediaSkipForward, PageButton::Move,
         1, 1, &VC::ovMovePage_Last},
    };
}

} // namespace

PageBox::PageBox(QWidget *parent) : QWidget(parent)
{
    auto *side = new QVBoxLayout(this);
    side->setContentsMargins(0, 0, 0, 0);
    auto *pageBox = new QGroupBox(texts::kPageBox, this);
    auto *pageGrid = new QGridLayout(pageBox);
    m_currentPage = new QLabel(pageBox);
    m_currentPage->setObjectName(QStringLiteral("lab_PageCurrentlyDisplayed"));
    QFont currentFont = m_currentPage->font();
    currentFont.setBold(true);
    currentFont.setPointSizeF(currentFont.pointSizeF() * 1.15);
    m_currentPage->setFont(currentFont);
    m_totalPages = new QLabel(pageBox);
    m_totalPages->setObjectName(QStringLiteral("labTotalPagesIndicator"));
    m_totalPages->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_totalPages->setForegroundRole(QPalette::PlaceholderText);
    // Wide enough for three-digit page numbers, so that paging never shifts the panel.
    m_currentPage->setMinimumWidth(
        QFontMetrics(currentFont).horizontalAdvance(panel::pageCurrentlyDisplayedText(888, 888)));
    m_totalPages->setMinimumWidth(QFontMetrics(m_totalPages->font()).horizontalAdvance(panel::totalPagesText(888)));
    pageGrid->addWidget(m_currentPage, 0, 0);
    pageGrid->addWidget(m_totalPages, 0, 1);
    // Show Changes: which pages differ from the mapping compared with.
    m_changedPages = new QLabel(pageBox);
    m_changedPages->setObjectName(QStringLiteral("labChangedPages"));
    m_changedPages->setWordWrap(true);
    m_changedPages->setStyleSheet(QStringLiteral("color: #9b6bc4;"));
    pageGrid->addWidget(m_changedPages, 5, 0, 1, 2);
    auto *moveBox = new QGroupBox(texts::kMovePageBox, this);
    auto *moveGrid = new QGridLayout(moveBox);
    for (const PageButton &row : pageButtons()) {
        auto *button = new QPushButton(style()->standardIcon(row.icon), row.text, this);
        button->setObjectName(QLatin1String(row.name));
        runOnClick(button, m_controller, row.run);
        m_buttons.insert(row.button, button);
        (row.box == PageButton::Page ? pageGrid : moveGrid)->addWidget(button, row.row, row.column);
    }
    side->addWidget(pageBox);
    side->addWidget(moveBox);
    side->addStretch(1);
}

void PageBox::attach(ViewController &controller)
{
    Q_ASSERT(!m_controller);
    m_controller = &controller;
}

} // namespace ov::ui::qt
