#include "PageBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace ov::ui::qt {

PageBox::PageBox(QWidget *parent) : QWidget(parent)
{
    auto *side = new QVBoxLayout(this);
    side->setContentsMargins(0, 0, 0, 0);
    auto *pageBox = new QGroupBox(QStringLiteral("Page"), this);
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
    m_currentPage->setMinimumWidth(QFontMetrics(currentFont).horizontalAdvance(QStringLiteral("Page 888 of 888")));
    m_totalPages->setMinimumWidth(QFontMetrics(m_totalPages->font()).horizontalAdvance(QStringLiteral("888 Pages")));
    pageGrid->addWidget(m_currentPage, 0, 0);
    pageGrid->addWidget(m_totalPages, 0, 1);
    // Show Changes: which pages differ from the mapping compared with.
    m_changedPages = new QLabel(pageBox);
    m_changedPages->setObjectName(QStringLiteral("labChangedPages"));
    m_changedPages->setWordWrap(true);
    m_changedPages->setStyleSheet(QStringLiteral("color: #9b6bc4;"));
    pageGrid->addWidget(m_changedPages, 5, 0, 1, 2);
    auto pageButton = [&](Button button, const QString &text, const QString &name, QStyle::StandardPixmap icon,
                          QGridLayout *grid, int r, int c) {
        auto *pushButton = new QPushButton(style()->standardIcon(icon), text, this);
        pushButton->setObjectName(name);
        m_buttons.insert(button, pushButton);
        grid->addWidget(pushButton, r, c);
    };
    pageButton(Button::prevPage, QStringLiteral("Previous"), QStringLiteral("prevPageButton"), QStyle::SP_ArrowLeft,
               pageGrid, 1, 0);
    pageButton(Button::nextPage, QStringLiteral("Next"), QStringLiteral("nextPageButton"), QStyle::SP_ArrowRight,
               pageGrid, 1, 1);
    pageButton(Button::firstPage, QStringLiteral("First"), QStringLiteral("firstPageButton"),
               QStyle::SP_MediaSkipBackward, pageGrid, 2, 0);
    pageButton(Button::lastPage, QStringLiteral("Last"), QStringLiteral("lastPageButton"), QStyle::SP_MediaSkipForward,
               pageGrid, 2, 1);
    pageButton(Button::newPage, QStringLiteral("New Page"), QStringLiteral("newPageButton"),
               QStyle::SP_FileDialogNewFolder, pageGrid, 3, 0);
    pageButton(Button::clearPage, QStringLiteral("Clear Page"), QStringLiteral("clearAllPagesButton"),
               QStyle::SP_DialogDiscardButton, pageGrid, 3, 1);
    pageButton(Button::deletePage, QStringLiteral("Delete Page"), QStringLiteral("deletePageButton"),
               QStyle::SP_TrashIcon, pageGrid, 4, 0);
    side->addWidget(pageBox);

    auto *moveBox = new QGroupBox(QStringLiteral("Move this page"), this);
    auto *moveGrid = new QGridLayout(moveBox);
    pageButton(Button::movePagePrev, QStringLiteral("Back"), QStringLiteral("ovMovePage_Prev"), QStyle::SP_ArrowLeft,
               moveGrid, 0, 0);
    pageButton(Button::movePageNext, QStringLiteral("Forward"), QStringLiteral("ovMovePage_Next"),
               QStyle::SP_ArrowRight, moveGrid, 0, 1);
    pageButton(Button::movePageFirst, QStringLiteral("To First"), QStringLiteral("ovMovePage_First"),
               QStyle::SP_MediaSkipBackward, moveGrid, 1, 0);
    pageButton(Button::movePageLast, QStringLiteral("To Last"), QStringLiteral("ovMovePage_Last"),
               QStyle::SP_MediaSkipForward, moveGrid, 1, 1);
    side->addWidget(moveBox);
    side->addStretch(1);
}

} // namespace ov::ui::qt
